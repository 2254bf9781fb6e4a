#include "SettingViewController.h"

#include "AlertViewController.h"
#include "AppImages.h"
#include "NSTheme.h"
#include "SystemFont.h"
#include "UIButton.h"
#include "UIInteractiveView.h"
#include "UILabel.h"
#include "UIUnderlineLabel.h"
#include "UIView.h"
#include "morvex/BKLog.h"
#include "morvex/SettingValues.h"

#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <system_error>

namespace morvex {

namespace {

constexpr int sideInset = 60;
constexpr int rowWidth = 380;
constexpr int rowHeight = 34;
constexpr int hintWidth = 100;

constexpr int titleTop = 65;
constexpr int optionTop = titleTop + 34 + 20;
constexpr int configTop = optionTop + 34 + 10;
constexpr int configHeight = 32;
constexpr int authorTop = configTop + configHeight + 10;
constexpr int prefixTop = authorTop + rowHeight + 10;
constexpr int baseTop = prefixTop + rowHeight + 10;
constexpr int pathTop = baseTop + rowHeight + 15;
constexpr int pathHeight = 28;
constexpr int pathButtonWidth = 88;
constexpr int pathGap = 12;
constexpr int confirmHeight = 48;

const char* const tagProperty = "tag";

int tagOf(const UIButton* button)
{
    return button ? button->property(tagProperty).toInt() : -1;
}

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string toStd(const UIInteractiveView* row)
{
    return row ? row->label().stringValue().toStdString() : std::string();
}

QString adjustTypeName(const MXAdjustType& type)
{
    return type.isNone() ? QStringLiteral("none") : QStringLiteral("mjExtension");
}

} // namespace

SettingViewController::SettingViewController(ScreenContext context, QWidget* parent)
    : UIViewController(parent), m_context(std::move(context))
{
    setWindowTitle(tr("输出配置"));
}

SettingViewController::~SettingViewController()
{
    disconnect(m_observation);
}

QString SettingViewController::pathPlaceholder()
{
    return tr("代码输出路径：");
}

UIButton* SettingViewController::optionButton(const QString& title, int tag,
                                              void (SettingViewController::*action)(UIButton*))
{
    auto* button = new UIButton(title, this);
    button->setIcon(AppImages::named(QStringLiteral("normal")));
    button->setIconSize(QSize(20, 20));
    button->setProperty(tagProperty, tag);
    button->text().setFontSize(16);
    button->setAlternateImage(AppImages::named(QStringLiteral("ok")));
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    button->setTitle(title);
    if (action)
        connect(button, &UIButton::clicked, this, [this, button, action] { (this->*action)(button); });
    return button;
}

UIButton* SettingViewController::swiftBtn()
{
    if (!m_swiftBtn) {
        m_swiftBtn = optionButton(QStringLiteral("Swift"), 1, &SettingViewController::selectLangSwift);
        m_swiftBtn->setChecked(true);
    }
    return m_swiftBtn;
}

UIButton* SettingViewController::ocBtn()
{
    if (!m_ocBtn) {
        m_ocBtn = optionButton(QStringLiteral("Objective-C"), 2, &SettingViewController::selectLangOC);
        m_ocBtn->setChecked(false);
    }
    return m_ocBtn;
}

UIButton* SettingViewController::classBtn()
{
    if (!m_classBtn) {
        m_classBtn = optionButton(tr("Class/类"), 1, &SettingViewController::selectClass);
        m_classBtn->setChecked(true);
    }
    return m_classBtn;
}

UIButton* SettingViewController::structBtn()
{
    if (!m_structBtn) {
        m_structBtn = optionButton(tr("Struct/结构体"), 2, &SettingViewController::selectStruct);
        m_structBtn->setChecked(false);
    }
    return m_structBtn;
}

UIButton* SettingViewController::faithfulBtn()
{
    if (!m_faithfulBtn) {
        // A plain check box beside the others: its state is read on confirmation.
        m_faithfulBtn = optionButton(tr("保留全部数据"), 1, nullptr);
        m_faithfulBtn->setToolTip(tr("生成的类型能容纳样本中的每一个值：数组元素合并，缺少或为空的成员可选"));
        const bool stored = m_context.store && m_context.store->string(ScreenContext::faithfulKey) == "true";
        m_faithfulBtn->setChecked(stored);
    }
    return m_faithfulBtn;
}

UIButton* SettingViewController::doBtn()
{
    if (!m_doBtn) {
        m_doBtn = UIButton::standardButton(tr("确定"), this, &SettingViewController::sureAction, this);
        m_doBtn->setAutoDefault(false);
        m_doBtn->setDefault(true); // Return in a row confirms
        m_doBtn->setCursor(Qt::PointingHandCursor);
    }
    return m_doBtn;
}

UIButton* SettingViewController::pathBtn()
{
    if (!m_pathBtn) {
        m_pathBtn = UIButton::standardButton(tr("选择"), this, &SettingViewController::selectPath, this);
        m_pathBtn->text().setFontSize(16);
        m_pathBtn->setAutoDefault(false);
        m_pathBtn->setCursor(Qt::PointingHandCursor);
    }
    return m_pathBtn;
}

UILabel* SettingViewController::codeOutPath()
{
    if (!m_codeOutPath) {
        auto* label = new UILabel(this);
        label->setStringValue(pathPlaceholder());
        label->text().setColor(NSTheme::accent());
        label->text().setFontSize(16);
        label->setLineBreakMode(UITextField::LineBreakMode::TruncatingHead);
        label->setFocusPolicy(Qt::NoFocus);
        m_codeOutPath = label;
    }
    return m_codeOutPath;
}

QString SettingViewController::baseClass() const
{
    return m_baseInput ? m_baseInput->label().stringValue() : QString();
}

QString SettingViewController::outputFolder()
{
    return codeOutPath()->stringValue();
}

std::vector<std::string> SettingViewController::settingValues() const
{
    return {toStd(m_authorInput), toStd(m_copyrightInput), toStd(m_prefixInput), toStd(m_nameInput)};
}

QWidget* SettingViewController::loadView()
{
    auto* content = new UIView(this);
    content->resize(width, height);
    return content;
}

void SettingViewController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    QWidget* content = view();

    backbtn()->show();

    auto* title = new UIUnderlineLabel(content);
    title->setStringValue(tr("输出配置"));
    title->setFocusPolicy(Qt::NoFocus);
    title->setGeometry(20, titleTop, width - 40, 34);

    int x = sideInset;
    const std::pair<UIButton*, int> options[] = {
        {swiftBtn(), 120}, {ocBtn(), 120}, {classBtn(), 120}, {structBtn(), 150}};
    for (const auto& [button, buttonWidth] : options) {
        button->setParent(content);
        button->setGeometry(x, optionTop, buttonWidth, 34);
        x += buttonWidth + 60;
    }

    auto* config = new QWidget(content);
    config->setGeometry(sideInset, configTop, width - 2 * sideInset, configHeight);
    const QString styleTitles[] = {tr("手动解析"), tr("MJExtension解析")};
    int left = 0;
    for (std::size_t tag = 0; tag < adjustTypeSet.size(); ++tag) {
        const QString styleTitle = tag < std::size(styleTitles) ? styleTitles[tag] : fromStd(adjustTypeSet[tag].code());
        UIButton* button = optionButton(styleTitle, static_cast<int>(tag), &SettingViewController::didSelectChange);
        button->setParent(config);
        const int buttonWidth = static_cast<int>(std::ceil(SystemFont::size(styleTitle, 16).width())) + 35;
        button->setGeometry(left, 0, buttonWidth, configHeight);
        left += buttonWidth;
        m_configBtn.emplace_back(button);
    }
    config->hide();
    m_configView = config;

    std::vector<std::string> stored = loadSettingValues(*m_context.store);
    stored.resize(settingCount);
    auto makeRow = [content](const QString& caption, const std::string& value, int rowX, int rowY) {
        UIInteractiveView* row = UIInteractiveView::standardRow(caption, hintWidth, true, content);
        row->label().setStringValue(fromStd(value));
        row->setGeometry(rowX, rowY, rowWidth, rowHeight);
        return row;
    };
    const int secondColumn = sideInset + rowWidth + 20;
    m_authorInput = makeRow(tr("代码署名:"), stored[authorIndex], sideInset, authorTop);
    m_copyrightInput = makeRow(tr("版权描述:"), stored[companyIndex], secondColumn, authorTop);
    m_prefixInput = makeRow(tr("类名前缀:"), stored[prefixIndex], sideInset, prefixTop);
    m_nameInput = makeRow(tr("模型名称:"), stored[rootNameIndex], secondColumn, prefixTop);
    m_baseInput = makeRow(tr("基类/协议:"), "Codable", sideInset, baseTop);
    // Beside the base class, where the row had room to spare, so nothing else moves; as wide as its title in
    // either language, like the mapping styles.
    UIButton* faithful = faithfulBtn();
    faithful->setParent(content);
    const int faithfulWidth = static_cast<int>(std::ceil(SystemFont::size(faithful->title(), 16).width())) + 35;
    faithful->setGeometry(secondColumn, baseTop, std::min(faithfulWidth, rowWidth), rowHeight);

    UIButton* choose = pathBtn();
    choose->setParent(content);
    choose->setGeometry(width - sideInset - pathButtonWidth, pathTop, pathButtonWidth, pathHeight);
    UILabel* path = codeOutPath();
    path->setParent(content);
    path->setGeometry(sideInset, pathTop, width - 2 * sideInset - pathButtonWidth - pathGap, pathHeight);

    UIButton* confirm = doBtn();
    confirm->setParent(content);
    confirm->setGeometry(sideInset, height - 60 - confirmHeight, width - 2 * sideInset, confirmHeight);

    for (QWidget* child : content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != config)
            child->show();
    }
    setTabOrder(&m_authorInput->label(), &m_copyrightInput->label());
    setTabOrder(&m_copyrightInput->label(), &m_prefixInput->label());
    setTabOrder(&m_prefixInput->label(), &m_nameInput->label());
    setTabOrder(&m_nameInput->label(), &m_baseInput->label());
    setTabOrder(&m_baseInput->label(), faithful);
    m_authorInput->label().setFocus();

    // Every change of the Objective-C option, by a click or by code, updates what depends on the language.
    m_observation = connect(ocBtn(), &UIButton::toggled, this, [this](bool on) { ocStateDidChange(on); });
}

void SettingViewController::selectLangSwift(UIButton* sender)
{
    ocBtn()->setChecked(!sender->isChecked());
}

void SettingViewController::selectLangOC(UIButton* sender)
{
    swiftBtn()->setChecked(!sender->isChecked());
    ocStateDidChange(sender->isChecked());
}

void SettingViewController::selectClass(UIButton* sender)
{
    if (ocBtn()->isChecked()) {
        sender->setChecked(true); // Objective-C output is always a class
        return;
    }
    structBtn()->setChecked(!sender->isChecked());
}

void SettingViewController::selectStruct(UIButton* sender)
{
    if (ocBtn()->isChecked()) {
        sender->setChecked(false);
        return;
    }
    classBtn()->setChecked(!sender->isChecked());
}

void SettingViewController::didSelectChange(UIButton* sender)
{
    const int tag = tagOf(sender);
    if (!sender->isChecked() || tag < 0 || static_cast<std::size_t>(tag) >= adjustTypeSet.size())
        adjustType = MXAdjustType::none();
    else
        adjustType = adjustTypeSet[static_cast<std::size_t>(tag)];
    for (const auto& button : m_configBtn) {
        if (button && button != sender)
            button->setChecked(false);
    }
}

void SettingViewController::ocStateDidChange(bool on)
{
    if (m_configView)
        m_configView->setVisible(on);
    if (m_baseInput)
        m_baseInput->label().setStringValue(on ? QStringLiteral("NSObject") : QStringLiteral("Codable"));
    if (on) {
        structBtn()->setChecked(false);
        classBtn()->setChecked(true);
    }
}

void SettingViewController::selectPath()
{
    if (!m_context.chooseFolder)
        return;
    const QString last = m_context.store ? fromStd(m_context.store->string(ScreenContext::lastFolderKey)) : QString();
    if (const std::optional<QString> folder = m_context.chooseFolder(this, last)) {
        codeOutPath()->setStringValue(*folder);
        codeOutPath()->setToolTip(*folder);
        // Only a convenience for the next chooser: a store that cannot be written changes nothing else.
        if (m_context.store)
            static_cast<void>(m_context.store->set(folder->toStdString(), ScreenContext::lastFolderKey));
    }
}

bool SettingViewController::checkInputs()
{
    const QString ok = tr("好的");
    if (outputFolder() == pathPlaceholder()) {
        AlertViewController::show(tr("选择代码输出路径是必须的"), QString(), ok, this);
        return false;
    }
    const std::initializer_list<const UIInteractiveView*> rows = {m_authorInput, m_copyrightInput, m_nameInput,
                                                                  m_baseInput, m_prefixInput};
    if (!std::ranges::all_of(rows, [](auto* row) { return row && !row->label().stringValue().isEmpty(); })) {
        AlertViewController::show(tr("输入项都不能为空"), QString(), ok, this);
        return false;
    }
    return true;
}

bool SettingViewController::saveValues()
{
    const QString ok = tr("好的");
    // The four values are stored joined by commas: a comma inside one would shift the others on the next
    // load, so it is refused here with the row that holds it.
    const std::pair<const UIInteractiveView*, QString> rows[] = {{m_authorInput, tr("代码署名")},
                                                                 {m_copyrightInput, tr("版权描述")},
                                                                 {m_prefixInput, tr("类名前缀")},
                                                                 {m_nameInput, tr("模型名称")}};
    for (std::size_t index = 0; index < std::size(rows); ++index) {
        const auto& [row, caption] = rows[index];
        if (row && row->label().stringValue().contains(u',')) {
            AlertViewController::show(tr("输入项不能包含英文逗号“,”"),
                                      tr("“%1”中有英文逗号，请删除或改用中文逗号“，”。").arg(caption), ok, this);
            return false;
        }
        // A line break or format character would end the header's comment, and a prefix or root name becomes
        // type and file names: such values are refused, never remembered.
        if (row && settingValueProblem(index, row->label().stringValue().toStdString())) {
            const bool header = index == authorIndex || index == companyIndex;
            AlertViewController::show(tr("输入项含有不能使用的字符"),
                                      header
                                          ? tr("“%1”中有控制字符、格式字符或换行，请删除。").arg(caption)
                                          : tr("“%1”只能包含字母、数字、符号、“_”、“$”、“-”、“.”和空格。").arg(caption),
                                      ok, this);
            return false;
        }
    }
    std::string notice;
    auto problem = saveSettingValues(settingValues(), *m_context.store, &notice);
    if (!notice.empty())
        settingsNotice = fromStd(notice);
    if (!problem) {
        if (std::error_code error =
                m_context.store->set(faithfulBtn()->isChecked() ? "true" : "false", ScreenContext::faithfulKey))
            problem = "cannot save the settings to " + m_context.store->file().string() + ": " + error.message();
    }
    if (problem) {
        AlertViewController::show(tr("设置未能保存"), fromStd(*problem), ok, this);
        return false;
    }
    return true;
}

void SettingViewController::sureAction()
{
    BKLog(adjustTypeName(adjustType).toStdString(), "sureAction");
    if (!checkInputs())
        return;
    if (!saveValues())
        return;
    isSwift = swiftBtn()->isChecked();
    isClass = classBtn()->isChecked();
    isFaithful = faithfulBtn()->isChecked();
    isCommit = true;
    disappear();
}

void SettingViewController::viewDidDisappear()
{
    UIViewController::viewDidDisappear();
    if (isCommit && convertBlack)
        convertBlack();
}

} // namespace morvex
