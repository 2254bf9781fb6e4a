#include "RootViewController.h"

#include "AlertViewController.h"
#include "Click.h"
#include "NSTheme.h"
#include "SettingViewController.h"
#include "SystemFont.h"
#include "UIButton.h"
#include "Workspace.h"
#include "morvex/Conversion.h"
#include "morvex/SettingValues.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <set>

namespace morvex {

namespace {

constexpr std::size_t namesListed = 6;

template <typename View = QPlainTextEdit>
View* makeTextView(const QString& placeholder, QWidget* parent)
{
    auto* view = new View(parent);
    view->setFont(SystemFont::at(16));
    view->setPlaceholderText(placeholder);
    // Long lines scroll sideways: wrapping a large one-line document would lay it out again at every resize.
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFrameShape(QFrame::NoFrame);
    return view;
}

QWidget* makePane(const QString& caption, QPlainTextEdit* view, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto* label = new QLabel(caption, pane);
    label->setFont(SystemFont::at(14));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, NSTheme::hint());
    label->setPalette(palette);
    label->setBuddy(view);
    // Latin and CJK captions have different natural heights; one height keeps both panes level.
    label->setFixedHeight(22);
    layout->addWidget(label);
    auto* frame = new QFrame(pane);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    view->setParent(frame);
    frameLayout->addWidget(view);
    layout->addWidget(frame, 1);
    return pane;
}

QString failureDetail(const std::vector<WriteFailure>& failures)
{
    std::map<std::string, std::vector<std::string>> byReason;
    std::vector<std::string> order;
    for (const auto& failure : failures) {
        auto& names = byReason[failure.reason];
        if (names.empty())
            order.push_back(failure.reason);
        names.push_back(failure.fileName);
    }
    QStringList parts;
    for (const auto& reason : order) {
        const auto& names = byReason[reason];
        QStringList shown;
        for (std::size_t i = 0; i < names.size() && i < namesListed; ++i)
            shown << QString::fromStdString(names[i]);
        QString list = shown.join(RootViewController::tr("、"));
        if (names.size() > namesListed)
            list += RootViewController::tr(" 等 %n 个文件", nullptr, static_cast<int>(names.size()));
        parts << RootViewController::tr("%1：%2").arg(list, QString::fromStdString(reason));
    }
    return parts.join(QLatin1Char('\n'));
}

} // namespace

RootViewController::RootViewController(ScreenContext context, QWidget* parent)
    : MXBaseViewController(parent), m_context(std::move(context))
{
    viewDidLoad();
}

RootViewController::~RootViewController() = default;

void RootViewController::viewDidLoad()
{
    m_jsonTextView = makeTextView<JSONTextView>(tr("在此粘贴 JSON 示例"), this);
    // A pasted sample is often one long line: show it whole, broken into display lines.
    m_jsonTextView->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_jsonTextView->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_codeTextView = makeTextView(tr("生成的代码会显示在这里"), this);
    m_codeTextView->setReadOnly(true);
    m_codeTextView->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->setHandleWidth(16);
    splitter->addWidget(makePane(QStringLiteral("JSON"), m_jsonTextView, splitter));
    splitter->addWidget(makePane(tr("生成的代码"), m_codeTextView, splitter));
    splitter->setSizes({1, 1});

    auto* button = new UIButton(tr("转换"), this);
    button->text().setFontSize(16);
    button->text().setColor(Qt::white);
    button->border().setRadius(4);
    button->background().setColor(NSTheme::accent());
    button->highlight().background().setColor(NSTheme::accentHover());
    button->setCursor(Qt::PointingHandCursor);
    button->setFixedSize(180, 44);
    button->setToolTip(tr("转换 (Ctrl+Return)"));
    button->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    Click::set(button, this, [this] { convertWithSender(m_convetBtn); });
    m_convetBtn = button;

    // What the last conversion wrote, and where; empty until then.
    m_resultLabel = new QLabel(this);
    m_resultLabel->setFont(SystemFont::at(14));
    m_resultLabel->setTextFormat(Qt::PlainText);
    m_resultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_openFolderButton = new QPushButton(tr("打开文件夹"), this);
    m_openFolderButton->setAutoDefault(false);
    m_openFolderButton->hide();
    connect(m_openFolderButton, &QPushButton::clicked, this, &RootViewController::openOutputFolder);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    buttons->addWidget(m_resultLabel, 1);
    buttons->addWidget(m_openFolderButton);
    buttons->addSpacing(8);
    buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 20);
    layout->setSpacing(16);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    m_jsonTextView->setFocus();
}

void RootViewController::systemInterfaceThemeChanged(bool) {}

void RootViewController::convertWithSender(QObject*)
{
    if (m_presentedSetting)
        return; // one sheet at a time
    if (m_jsonTextView->document()->isEmpty()) {
        AlertViewController::show(tr("请输入JSON字符串"), QString(), tr("好的"), this);
        return;
    }
    auto* setting = new SettingViewController(m_context);
    setting->presentAsSheet(this);
    m_presentedSetting = setting;
    connect(setting, &QDialog::finished, this, [this] { m_presentedSetting = nullptr; });
    setting->convertBlack = [this, setting] { runConversion(*setting); };
}

void RootViewController::runConversion(SettingViewController& setting)
{
    ConversionChoices choices;
    choices.isSwift = setting.isSwift;
    choices.isClass = setting.isClass;
    choices.adjustType = setting.adjustType;
    choices.base = setting.baseClass().toStdString();

    const std::string json = m_jsonTextView->text().toStdString();
    const Conversion conversion = convert(json, choices, loadSettingValues(*m_context.store),
                                          m_context.date ? *m_context.date : MXDate::shared());
    if (conversion.jsonError) {
        // Text that is not JSON writes nothing: an empty root type would replace a good file of that name.
        const JSONError& error = *conversion.jsonError;
        const auto before = static_cast<qsizetype>(std::min(error.offset, json.size()));
        QTextCursor cursor = m_jsonTextView->textCursor();
        cursor.setPosition(m_jsonTextView->documentPosition(QString::fromUtf8(json.data(), before).size()));
        m_jsonTextView->setTextCursor(cursor);
        AlertViewController::show(
            tr("JSON 格式不正确"),
            tr("第 %1 行，第 %2 列：%3").arg(error.line).arg(error.column).arg(QString::fromStdString(error.reason)),
            tr("好的"), this);
        return;
    }
    const QString display = QString::fromStdString(conversion.display);

    if (choices.isSwift)
        m_codeTextView->setPlainText(display);
    const QString folderText = setting.outputFolder();
    const std::filesystem::path folder(QFile::encodeName(folderText).toStdString());
    const std::vector<WriteFailure> failures = writeFiles(conversion.files, folder);
    if (!choices.isSwift)
        m_codeTextView->setPlainText(display);

    // Files of one name are written once.
    std::set<std::string> names;
    for (const GeneratedFile& file : conversion.files)
        names.insert(file.name);
    const auto written = static_cast<int>(names.size() - std::min(names.size(), failures.size()));
    m_outputFolder = folderText;
    m_resultLabel->setText(tr("已将 %n 个文件写入 %1", nullptr, written).arg(QDir::toNativeSeparators(folderText)));
    m_resultLabel->setToolTip(m_resultLabel->text());
    m_openFolderButton->setVisible(written > 0);

    if (!failures.empty()) {
        const QString title = failures.size() == names.size()
                                  ? tr("代码文件未能写入")
                                  : tr("有 %n 个代码文件未能写入", nullptr, static_cast<int>(failures.size()));
        AlertViewController::show(title, failureDetail(failures), tr("好的"), this);
    }
}

void RootViewController::openOutputFolder()
{
    if (m_outputFolder.isEmpty())
        return;
    if (!Workspace::shared().openURL(QUrl::fromLocalFile(m_outputFolder)))
        AlertViewController::show(tr("无法打开文件夹"), QDir::toNativeSeparators(m_outputFolder), tr("好的"), this);
}

} // namespace morvex
