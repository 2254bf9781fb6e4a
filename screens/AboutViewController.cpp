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
#include <QSignalBlocker>

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

    const bool checksUpdates = !m_updater || m_updater->updater()->configuration().enabled;
    if (checksUpdates && m_updater) {
        m_automaticChecks = new QCheckBox(tr("启动时自动检查更新"), content);
        m_automaticChecks->setFont(SystemFont::at(13));
        m_automaticChecks->setChecked(m_updater->automaticallyChecksForUpdates());
        m_automaticChecks->adjustSize();
        m_automaticChecks->move((width - m_automaticChecks->width()) / 2, 224);
        connect(m_automaticChecks, &QCheckBox::toggled, this, [this](bool on) {
            // A choice that cannot be stored is not shown as made.
            if (m_updater && !m_updater->setAutomaticallyChecksForUpdates(on)) {
                const QSignalBlocker blocker(m_automaticChecks);
                m_automaticChecks->setChecked(!on);
            }
        });
    }

    const int buttonWidth = 136;
    const int gap = 16;
    const int buttons = checksUpdates ? 3 : 2;
    const int left = (width - buttons * buttonWidth - (buttons - 1) * gap) / 2;
    auto makeButton = [content](const QString& title, int x) {
        UIButton* button = UIButton::standardButton(title, nullptr, std::function<void()>(), content);
        button->text().setFontSize(15);
        button->setAutoDefault(false);
        button->setCursor(Qt::PointingHandCursor);
        button->setGeometry(x, height - 40 - 40, buttonWidth, 40);
        return button;
    };
    const int links = checksUpdates ? left + buttonWidth + gap : left;
    m_updateButton = makeButton(tr("检查更新"), left);
    m_bbsButton = makeButton(tr("论坛"), links);
    m_webButton = makeButton(tr("主页"), links + buttonWidth + gap);
    connect(m_updateButton, &QPushButton::clicked, this, [this] { update(m_updateButton); });
    connect(m_bbsButton, &QPushButton::clicked, this, [this] { openBBS(m_bbsButton); });
    connect(m_webButton, &QPushButton::clicked, this, [this] { openAppWeb(m_webButton); });

    for (QWidget* child : content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->show();
    m_updateButton->setVisible(checksUpdates);
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
