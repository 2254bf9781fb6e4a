#include "StandardUserDriver.h"

#include "Workspace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace morvex {

namespace {

QString windowTitle()
{
    return StandardUserDriver::tr("软件更新");
}

} // namespace

StandardUserDriver::~StandardUserDriver()
{
    delete m_box.data();
    delete m_checking.data();
}

QString StandardUserDriver::upToDateText(const AppVersion& current)
{
    return StandardUserDriver::tr("Morvex V%1(%2) 已是最新版本。").arg(current.shortVersion, current.build);
}

QString StandardUserDriver::updateFoundText(const AppcastItem& item, const AppVersion& current)
{
    return StandardUserDriver::tr("Morvex V%1(%2) 可以下载了，当前版本为 V%3(%4)。")
        .arg(item.shortVersion, item.version, current.shortVersion, current.build);
}

QMessageBox* StandardUserDriver::makeBox(const QString& text)
{
    // Top-level and not modal: the main window may be hidden, and an update offer must not block work.
    auto* box = new QMessageBox(QMessageBox::Information, windowTitle(), text, QMessageBox::NoButton, nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::NonModal);
    return box;
}

void StandardUserDriver::replace(QMessageBox* box)
{
    if (m_box && m_box != m_checking)
        m_box->close();
    m_box = box;
    box->show();
    box->raise();
    box->activateWindow();
}

void StandardUserDriver::showChecking(std::function<void()> cancel)
{
    if (m_checking) {
        m_checking->raise();
        return;
    }
    QMessageBox* box = makeBox(StandardUserDriver::tr("正在检查更新…"));
    QPushButton* cancelButton = box->addButton(StandardUserDriver::tr("取消"), QMessageBox::RejectRole);
    QObject::connect(cancelButton, &QAbstractButton::clicked, box, [cancel = std::move(cancel)] {
        if (cancel)
            cancel();
    });
    m_checking = box;
    replace(box);
}

void StandardUserDriver::dismissChecking()
{
    if (m_checking)
        m_checking->close();
}

void StandardUserDriver::showUpToDate(const AppVersion& current)
{
    QMessageBox* box = makeBox(upToDateText(current));
    box->addButton(StandardUserDriver::tr("好的"), QMessageBox::AcceptRole);
    replace(box);
}

void StandardUserDriver::showUpdateFound(const AppcastItem& item, const AppVersion& current)
{
    QMessageBox* box = makeBox(updateFoundText(item, current));
    box->setWindowTitle(StandardUserDriver::tr("发现新版本"));
    if (!item.notes.isEmpty())
        box->setInformativeText(item.notes);
    QPushButton* download = box->addButton(StandardUserDriver::tr("下载"), QMessageBox::AcceptRole);
    box->addButton(StandardUserDriver::tr("以后再说"), QMessageBox::RejectRole);
    box->setDefaultButton(download);
    const QUrl link = item.link;
    QObject::connect(download, &QAbstractButton::clicked, box, [link] { Workspace::shared().openURL(link); });
    replace(box);
}

void StandardUserDriver::showError(const QString& error)
{
    QMessageBox* box = makeBox(StandardUserDriver::tr("检查更新失败：%1").arg(error));
    box->setIcon(QMessageBox::Warning);
    box->addButton(StandardUserDriver::tr("好的"), QMessageBox::AcceptRole);
    replace(box);
}

} // namespace morvex
