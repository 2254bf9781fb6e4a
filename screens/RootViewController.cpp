#include "RootViewController.h"

#include "AlertViewController.h"
#include "Click.h"
#include "NSTheme.h"
#include "SettingViewController.h"
#include "SystemFont.h"
#include "UIButton.h"
#include "morvex/Conversion.h"
#include "morvex/SettingValues.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>

#include <map>

namespace morvex {

namespace {

constexpr std::size_t namesListed = 6;

QPlainTextEdit* makeTextView(const QString& placeholder, QWidget* parent)
{
    auto* view = new QPlainTextEdit(parent);
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

// The text exactly as typed: the editor's paragraph separators become line feeds, and non-breaking spaces
// stay what they are (plain-text export would turn them into spaces and change the JSON).
QString rawText(const QPlainTextEdit& view)
{
    QString text = view.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
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
        QString list = shown.join(QString::fromUtf8(u8"、"));
        if (names.size() > namesListed)
            list += QString::fromUtf8(u8" 等 %1 个文件").arg(names.size());
        parts << QString::fromUtf8(u8"%1：%2").arg(list, QString::fromStdString(reason));
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
    m_jsonTextView = makeTextView(QString::fromUtf8(u8"在此粘贴 JSON 示例"), this);
    // A pasted sample is often one long line: show it whole.
    m_jsonTextView->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_jsonTextView->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_codeTextView = makeTextView(QString::fromUtf8(u8"生成的代码会显示在这里"), this);
    m_codeTextView->setReadOnly(true);
    m_codeTextView->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->setHandleWidth(16);
    splitter->addWidget(makePane(QStringLiteral("JSON"), m_jsonTextView, splitter));
    splitter->addWidget(makePane(QString::fromUtf8(u8"生成的代码"), m_codeTextView, splitter));
    splitter->setSizes({1, 1});

    auto* button = new UIButton(QString::fromUtf8(u8"转换"), this);
    button->text().setFontSize(16);
    button->text().setColor(Qt::white);
    button->border().setRadius(4);
    button->background().setColor(NSTheme::accent());
    button->highlight().background().setColor(NSTheme::accentHover());
    button->setCursor(Qt::PointingHandCursor);
    button->setFixedSize(180, 44);
    button->setToolTip(QString::fromUtf8(u8"转换 (Ctrl+Return)"));
    button->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    Click::set(button, this, [this] { convertWithSender(m_convetBtn); });
    m_convetBtn = button;

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
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
        AlertViewController::show(QString::fromUtf8(u8"请输入JSON字符串"), QString(), QString::fromUtf8(u8"好的"),
                                  this);
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

    const std::string json = rawText(*m_jsonTextView).toStdString();
    const Conversion conversion = convert(json, choices, loadSettingValues(*m_context.store),
                                          m_context.date ? *m_context.date : MXDate::shared());
    const QString display = QString::fromStdString(conversion.display);

    if (choices.isSwift)
        m_codeTextView->setPlainText(display);
    const std::filesystem::path folder(QFile::encodeName(setting.outputFolder()).toStdString());
    const std::vector<WriteFailure> failures = writeFiles(conversion.files, folder);
    if (!choices.isSwift)
        m_codeTextView->setPlainText(display);

    if (!failures.empty()) {
        const QString title = failures.size() == conversion.files.size()
                                  ? QString::fromUtf8(u8"代码文件未能写入")
                                  : QString::fromUtf8(u8"有 %1 个代码文件未能写入").arg(failures.size());
        AlertViewController::show(title, failureDetail(failures), QString::fromUtf8(u8"好的"), this);
    }
}

} // namespace morvex
