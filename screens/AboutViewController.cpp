#include "AboutViewController.h"

#include "AlertViewController.h"
#include "AppImages.h"
#include "NSTheme.h"
#include "StandardUpdaterController.h"
#include "SystemFont.h"
#include "UIButton.h"
#include "UIView.h"
#include "WebAddresses.h"
#include "Workspace.h"

#include <QLabel>

namespace morvex {

AboutViewController::AboutViewController(StandardUpdaterController* updater, AppVersion version, QWidget* parent)
    : UIViewController(parent), m_updater(updater), m_version(std::move(version))
{
    setWindowTitle(tr("关于 Morvex"));
}

AboutViewController::~AboutViewController() = default;

QString AboutViewController::versionText(const AppVersion& version)
{
    return QStringLiteral("V") + version.shortVersion + QStringLiteral("(") + version.build + QStringLiteral(")");
}

QWidget* AboutViewController::loadView()
{
    auto* content = new UIView(this);
    content->resize(width, height);
    return content;
}

void AboutViewController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    QWidget* content = view();
    backbtn()->show();

    auto* icon = new QLabel(content);
    icon->setPixmap(AppImages::named(QStringLiteral("AppIcon")).pixmap(QSize(88, 88), devicePixelRatioF()));
    icon->setGeometry((width - 88) / 2, 36, 88, 88);

    auto* name = new QLabel(QStringLiteral("Morvex"), content);
    QFont nameFont = SystemFont::at(24);
    nameFont.setBold(true);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignCenter);
    name->setGeometry(0, 132, width, 34);

    auto* version = new QLabel(content);
    version->setFont(SystemFont::at(14));
    version->setAlignment(Qt::AlignCenter);
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    version->setGeometry(0, 168, width, 22);
    m_versionLabel = version;
    m_versionLabel->setText(versionText(m_version));

    auto* tagline = new QLabel(tr("由 JSON 示例生成 Swift / Objective-C 模型代码"), content);
    tagline->setFont(SystemFont::at(14));
    tagline->setAlignment(Qt::AlignCenter);
    QPalette palette = tagline->palette();
    palette.setColor(QPalette::WindowText, NSTheme::hint());
    tagline->setPalette(palette);
    tagline->setGeometry(0, 196, width, 22);

    const int buttonWidth = 136;
    const int gap = 16;
    const int left = (width - 3 * buttonWidth - 2 * gap) / 2;
    auto makeButton = [content](const QString& title, int x) {
        UIButton* button = UIButton::standardButton(title, nullptr, std::function<void()>(), content);
        button->text().setFontSize(15);
        button->setAutoDefault(false);
        button->setCursor(Qt::PointingHandCursor);
        button->setGeometry(x, height - 40 - 40, buttonWidth, 40);
        return button;
    };
    m_updateButton = makeButton(tr("检查更新"), left);
    m_bbsButton = makeButton(tr("论坛"), left + buttonWidth + gap);
    m_webButton = makeButton(tr("主页"), left + 2 * (buttonWidth + gap));
    connect(m_updateButton, &QPushButton::clicked, this, [this] { update(m_updateButton); });
    connect(m_bbsButton, &QPushButton::clicked, this, [this] { openBBS(m_bbsButton); });
    connect(m_webButton, &QPushButton::clicked, this, [this] { openAppWeb(m_webButton); });

    for (QWidget* child : content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->show();
}

void AboutViewController::update(QObject*)
{
    if (!m_updater)
        return;
    if (Updater* updater = m_updater->updater())
        updater->checkForUpdates();
}

void AboutViewController::openBBS(QObject*)
{
    AlertViewController::openLink(WebAddresses::forum(), this);
}

void AboutViewController::openAppWeb(QObject*)
{
    AlertViewController::openLink(WebAddresses::homePage(), this);
}

} // namespace morvex
