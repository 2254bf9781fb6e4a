#include "RootViewController.h"

#include "AlertViewController.h"
#include "Click.h"
#include "NSTheme.h"
#include "SettingViewController.h"
#include "SystemFont.h"
#include "UIButton.h"
#include "Workspace.h"
#include "morvex/Conversion.h"
#include "morvex/Identifier.h"
#include "morvex/SettingValues.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <utility>

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

QWidget* makePane(const QString& caption, QPlainTextEdit* view, QWidget* parent, QWidget* beside = nullptr)
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
    if (beside) {
        auto* captionRow = new QHBoxLayout;
        captionRow->addWidget(label, 1);
        beside->setParent(pane);
        beside->setFixedHeight(22);
        captionRow->addWidget(beside);
        layout->addLayout(captionRow);
    } else {
        layout->addWidget(label);
    }
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

// Above this many types the app asks before it writes.
constexpr std::size_t typesWrittenUnasked = 10'000;

QString quoted(const std::string& text)
{
    return RootViewController::tr("“%1”").arg(QString::fromStdString(printable(text)));
}

QString kindWord(const std::string& kind)
{
    if (kind == "null")
        return QStringLiteral("null");
    if (kind == "boolean")
        return RootViewController::tr("布尔值");
    if (kind == "integer")
        return RootViewController::tr("整数");
    if (kind == "fraction")
        return RootViewController::tr("小数");
    if (kind == "string")
        return RootViewController::tr("字符串");
    if (kind == "object")
        return RootViewController::tr("对象");
    if (kind == "array")
        return RootViewController::tr("数组");
    return RootViewController::tr("超出 64 位的数");
}

// The app's wording of a finding; the command line words the same arguments in English.
QString findingMessage(const Finding& finding)
{
    const auto arg = [&finding](std::size_t index) {
        return index < finding.arguments.size() ? finding.arguments[index] : std::string();
    };
    const auto name = [](const std::string& text) { return QString::fromStdString(printable(text)); };
    switch (finding.kind) {
    case FindingKind::keyNotIdentifier:
        return RootViewController::tr("键%1不是 %2 的标识符：代码无法编译").arg(quoted(arg(0)), name(arg(1)));
    case FindingKind::keyReserved:
        return RootViewController::tr("键%1是 %2 的保留名称：代码无法编译").arg(quoted(arg(0)), name(arg(1)));
    case FindingKind::keyDeclaresNothing:
        return RootViewController::tr(
                   "键%1在 Objective-C 中不能作为数字或布尔属性的名称：代码能编译（有警告），但该成员会丢失")
            .arg(quoted(arg(0)));
    case FindingKind::keyOverrides:
        return RootViewController::tr(
                   "键%1成为属性后会覆盖 NSObject 的同名方法：代码能编译，但调用该方法的地方得到的是属性的值")
            .arg(quoted(arg(0)));
    case FindingKind::setterShared:
        return RootViewController::tr("键%1与键%2生成同一个 setter（%3），两个值中会丢失一个")
            .arg(quoted(arg(0)), quoted(arg(1)), name(arg(2)));
    case FindingKind::keyChanged:
        return RootViewController::tr("键%1写作%2").arg(quoted(arg(0)), quoted(arg(1)));
    case FindingKind::memberNameShared:
        return RootViewController::tr("键%1写作%2，与另一成员同名：代码无法编译").arg(quoted(arg(0)), quoted(arg(1)));
    case FindingKind::keyRepeated:
        return RootViewController::tr("键%1在同一对象中出现多次：各解码器读取的值不一定相同").arg(quoted(arg(0)));
    case FindingKind::nullDropped:
        return RootViewController::tr("成员%1的值为 null，已略去").arg(quoted(arg(0)));
    case FindingKind::elementUnknown: {
        const QString why = arg(1) == "empty"        ? RootViewController::tr("数组为空")
                            : arg(1) == "null first" ? RootViewController::tr("第一个元素为 null")
                                                     : RootViewController::tr("第一个元素是数组");
        return RootViewController::tr("无法判断%1的元素类型（%2）：代码用到的类型不会生成").arg(quoted(arg(0)), why);
    }
    case FindingKind::memberNotInFirst:
        return RootViewController::tr("成员%1不在第一个元素中，已略去").arg(quoted(arg(0)));
    case FindingKind::memberMissing:
        return RootViewController::tr("此元素缺少第一个元素的成员%1：解码会失败").arg(quoted(arg(0)));
    case FindingKind::kindDiffers:
        return RootViewController::tr("后面的值是%1，第一个值是%2：类型按第一个值")
            .arg(kindWord(arg(1)), kindWord(arg(0)));
    case FindingKind::typeNameShared: {
        const std::string stem = finding.file.substr(0, finding.file.rfind('.'));
        return RootViewController::tr("两个类型 %1 同用文件名 %2：后一个替换前一个（前一个在 %3）")
            .arg(name(arg(0)), name(stem), name(arg(1)));
    }
    case FindingKind::fileReplaced:
        return RootViewController::tr("类型 %1 和 %2 同用文件 %3：后一个替换前一个")
            .arg(name(arg(0)), name(arg(1)), name(finding.file));
    case FindingKind::fileNameCase:
        return (arg(3) == "normalisation"
                    ? RootViewController::tr("类型 %1 和 %2 的文件名（%3、%4）只有 Unicode "
                                             "规范化形式不同，在规范化文件名的文件系统上会冲突")
                    : RootViewController::tr(
                          "类型 %1 和 %2 的文件名（%3、%4）只有大小写不同，在不区分大小写的文件系统上会冲突"))
            .arg(name(arg(0)), name(arg(1)), name(arg(2)), name(finding.file));
    case FindingKind::wideNumber:
        return RootViewController::tr("数值超出 64 位，按浮点数处理");
    case FindingKind::notInteger:
        return RootViewController::tr("数值不是整数，却按 Int 处理");
    case FindingKind::tooManyTypes:
        return RootViewController::tr("生成了 %1 个类型（超过 10,000 个）").arg(name(arg(0)));
    case FindingKind::configuration:
        if (arg(0) == "prefix-not-identifier")
            return RootViewController::tr("前缀%1生成的类型名不是 %2 的标识符：代码无法编译")
                .arg(quoted(arg(1)), name(arg(2)));
        if (arg(0) == "name-not-identifier")
            return RootViewController::tr("根类型名%1不是 %2 的标识符：代码无法编译").arg(quoted(arg(1)), name(arg(2)));
        return arg(0) == "struct-on-class"
                   ? RootViewController::tr("Swift 结构体不能继承 NSObject 类：代码无法编译")
                   : RootViewController::tr("基于 NSObject 且有存储属性的 Swift 类没有初始化方法，也不符合 "
                                            "Codable：代码无法编译");
    }
    return {};
}

// The UTF-16 positions of byte offsets into UTF-8 text, found in one pass however many there are.
std::vector<qsizetype> utf16Positions(std::string_view utf8, const std::vector<std::uint64_t>& offsets)
{
    std::vector<std::size_t> order(offsets.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&offsets](std::size_t a, std::size_t b) { return offsets[a] < offsets[b]; });
    std::vector<qsizetype> positions(offsets.size());
    std::size_t byte = 0;
    qsizetype units = 0;
    for (const std::size_t i : order) {
        const std::size_t until = static_cast<std::size_t>(std::min<std::uint64_t>(offsets[i], utf8.size()));
        for (; byte < until; ++byte) {
            const auto c = static_cast<unsigned char>(utf8[byte]);
            if ((c & 0xC0) != 0x80)
                units += c >= 0xF0 ? 2 : 1; // four-byte sequences are surrogate pairs
        }
        positions[i] = units;
    }
    return positions;
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
    m_findingsButton = new QPushButton(this);
    m_findingsButton->setFlat(true);
    m_findingsButton->setAutoDefault(false);
    m_findingsButton->setCursor(Qt::PointingHandCursor);
    m_findingsButton->setFont(SystemFont::at(14));
    m_findingsButton->hide();
    m_findingsList = new QListWidget(this);
    m_findingsList->setWindowFlags(Qt::Popup);
    m_findingsList->setFont(SystemFont::at(14));
    m_findingsList->setWordWrap(true);
    m_findingsList->setTextElideMode(Qt::ElideNone);
    connect(m_findingsButton, &QPushButton::clicked, this, [this] {
        const QPoint below =
            m_findingsButton->mapToGlobal(QPoint(m_findingsButton->width(), m_findingsButton->height()));
        m_findingsList->resize(560, 320);
        m_findingsList->move(below.x() - m_findingsList->width(), below.y());
        m_findingsList->show();
        m_findingsList->setFocus();
    });
    connect(m_findingsList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { selectFinding(m_findingsList->row(item)); });
    connect(m_findingsList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { selectFinding(m_findingsList->row(item)); });
    splitter->addWidget(makePane(tr("生成的代码"), m_codeTextView, splitter, m_findingsButton));
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
    choices.faithful = setting.isFaithful;
    m_notice = setting.settingsNotice;

    std::shared_ptr<const std::string> json;
    std::shared_ptr<const Conversion> conversion;
    try {
        json = std::make_shared<const std::string>(m_jsonTextView->text().toStdString());
        conversion = std::make_shared<const Conversion>(convert(*json, choices, loadSettingValues(*m_context.store),
                                                                m_context.date ? *m_context.date : MXDate::shared()));
    } catch (const std::bad_alloc&) {
        // What was made so far is freed by now, so the alert has room.
        showOutOfMemory(std::nullopt);
        return;
    }
    if (conversion->jsonError) {
        // Text that is not JSON writes nothing: an empty root type would replace a good file of that name.
        const JSONError& error = *conversion->jsonError;
        const auto before = static_cast<qsizetype>(std::min(error.offset, json->size()));
        QTextCursor cursor = m_jsonTextView->textCursor();
        cursor.setPosition(m_jsonTextView->documentPosition(QString::fromUtf8(json->data(), before).size()));
        m_jsonTextView->setTextCursor(cursor);
        AlertViewController::show(tr("JSON 格式不正确"),
                                  withNotice(tr("第 %1 行，第 %2 列：%3")
                                                 .arg(error.line)
                                                 .arg(error.column)
                                                 .arg(QString::fromStdString(error.reason))),
                                  tr("好的"), this);
        return;
    }
    const QString folderText = setting.outputFolder();
    const bool isSwift = choices.isSwift;
    if (conversion->models.size() > typesWrittenUnasked) {
        // So many files are slow to write and hard to take back: the user confirms first.
        const int count = static_cast<int>(std::min<std::size_t>(conversion->models.size(), INT_MAX));
        AlertViewController::ask(
            tr("将生成 %n 个类型", nullptr, count),
            withNotice(tr("确定要把它们的代码文件写入 %1 吗？").arg(QDir::toNativeSeparators(folderText))), tr("写入"),
            tr("取消"), this, [self = QPointer(this), conversion, isSwift, folderText, json] {
                if (self)
                    self->writeConversion(*conversion, isSwift, folderText, *json);
            });
        return;
    }
    writeConversion(*conversion, isSwift, folderText, *json);
}

void RootViewController::writeConversion(const Conversion& conversion, bool isSwift, const QString& folderText,
                                         const std::string& json)
{
    std::size_t written = 0;
    try {
        writeAndShow(conversion, isSwift, folderText, json, written);
    } catch (const std::bad_alloc&) {
        showOutOfMemory(written > 0 ? std::optional(written) : std::nullopt);
    }
}

void RootViewController::showOutOfMemory(std::optional<std::size_t> written)
{
    const QString detail = written ? tr("写入时内存不足：已完整写入 %n 个文件，没有只写了一半的文件。", nullptr,
                                        static_cast<int>(std::min<std::size_t>(*written, INT_MAX)))
                                   : tr("没有足够的内存来转换这段 JSON，没有写入任何文件。");
    AlertViewController::show(tr("内存不足"), withNotice(detail), tr("好的"), this);
}

void RootViewController::writeAndShow(const Conversion& conversion, bool isSwift, const QString& folderText,
                                      const std::string& json, std::size_t& inPlace)
{
    const std::string_view head = displayHead(conversion, m_context.codeShownAtMost);
    QString display = QString::fromUtf8(head.data(), static_cast<qsizetype>(head.size()));
    if (head.size() < conversion.display.size()) {
        const auto types = static_cast<int>(std::min<std::size_t>(conversion.models.size(), INT_MAX));
        display += (head.empty() || head.ends_with("\n\n") ? QString() : QStringLiteral("\n")) +
                   tr("// 代码太长，只显示到这里（共 %n 个类型）", nullptr, types) + u'\n';
    }
    if (isSwift)
        m_codeTextView->setPlainText(display);
    const std::filesystem::path folder(QFile::encodeName(folderText).toStdString());
    const std::vector<WriteFailure> failures = writeFiles(conversion.files, folder, &inPlace);
    if (!isSwift)
        m_codeTextView->setPlainText(display);
    showFindings(conversion.findings, json);

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
        AlertViewController::show(title, withNotice(failureDetail(failures)), tr("好的"), this);
    } else if (!m_notice.isEmpty()) {
        AlertViewController::show(tr("设置文件无法读取，已移到别处"), withNotice(QString()), tr("好的"), this);
    }
}

QString RootViewController::withNotice(QString detail)
{
    if (!m_notice.isEmpty())
        detail += (detail.isEmpty() ? QString() : QStringLiteral("\n")) + std::exchange(m_notice, QString());
    return detail;
}

void RootViewController::showFindings(const Findings& findings, std::string_view json)
{
    m_findingsList->hide();
    m_findingsList->clear();
    std::vector<std::uint64_t> starts;
    std::vector<std::uint64_t> ends;
    for (const Finding& finding : findings.kept) {
        starts.push_back(finding.offset);
        ends.push_back(finding.offset + finding.length);
    }
    const std::vector<qsizetype> from = utf16Positions(json, starts);
    const std::vector<qsizetype> to = utf16Positions(json, ends);
    m_findingPlaces.clear();
    for (std::size_t i = 0; i < findings.kept.size(); ++i) {
        const Finding& finding = findings.kept[i];
        m_findingsList->addItem(
            tr("%1：%2").arg(QString::fromStdString(printable(finding.path)), findingMessage(finding)));
        m_findingPlaces.emplace_back(from[i], to[i]);
    }
    if (findings.omitted > 0) {
        auto* more = new QListWidgetItem(
            tr("另有 %n 条未列出", nullptr, static_cast<int>(std::min<std::uint64_t>(findings.omitted, INT_MAX))));
        more->setFlags(Qt::NoItemFlags);
        m_findingsList->addItem(more);
    }
    const auto total = static_cast<int>(std::min<std::uint64_t>(findings.total(), INT_MAX));
    m_findingsButton->setText(tr("%n 条提示", nullptr, total));
    m_findingsButton->setToolTip(tr("生成的代码没能表达出的示例内容"));
    m_findingsButton->setVisible(total > 0);
}

void RootViewController::selectFinding(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_findingPlaces.size())
        return;
    const auto [from, to] = m_findingPlaces[static_cast<std::size_t>(row)];
    QTextCursor cursor = m_jsonTextView->textCursor();
    cursor.setPosition(m_jsonTextView->documentPosition(from));
    cursor.setPosition(m_jsonTextView->documentPosition(to), QTextCursor::KeepAnchor);
    m_jsonTextView->setTextCursor(cursor);
    m_jsonTextView->ensureCursorVisible();
    m_findingsList->hide();
    m_jsonTextView->setFocus();
}

void RootViewController::openOutputFolder()
{
    if (m_outputFolder.isEmpty())
        return;
    if (!Workspace::shared().openURL(QUrl::fromLocalFile(m_outputFolder)))
        AlertViewController::show(tr("无法打开文件夹"), QDir::toNativeSeparators(m_outputFolder), tr("好的"), this);
}

} // namespace morvex
