#include "shell/DialogChange.h"

#include "core/DeviceScan.h"
#include "core/Firmware.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/HIDUsb.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/LanguageChoice.h"
#include "dialogs/MakeMacro.h"
#include "dialogs/QuestiondialogB.h"
#include "shell/common/LanguageFile.h"
#include "shell/common/MyConmboBox.h"
#include "shell/common/mytoolButtonEnter.h"
#include "shell/DialogChangeFirmware.h"
#include "shell/common/PictureCheck.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

Q_LOGGING_CATEGORY(lcChoice, "app.shell.choice")

namespace {

QString badgeStyle(const QString& skin, const QString& image)
{
    return shell::pictureSheet(QStringLiteral("QLabel{border:0px;background-position:center;background-repeat:no-repeat;"
                                              "background-image: url(")
                               + skin + image + QStringLiteral(");color: rgb(255, 255, 255);}"));
}

QString tileStyle(const QString& skin, const QString& image)
{
    return shell::pictureSheet(QStringLiteral("QToolButton{border:0px;background-position:center;"
                                              "background-repeat:no-repeat;background-image: url(")
                               + skin + image + QStringLiteral(");color: rgb(255, 255, 255);}"));
}

QByteArray pathBytes(const QString& path)
{
    return path.toLatin1();
}

// A record that a running update of this program owns says "running": the repair state is for
// one left unfinished.
bool repairNeeded()
{
    return !core::unfinishedUpdateFields().isEmpty();
}

// A refreshed record goes back to the tile it came from and to the found
// entry of the same device: after receivers were dropped from the tiles the
// two lists no longer share positions.
void storeRefreshed(int index, const DeviceAllInfo& device)
{
    TileDeviceList[index] = device;
    const int found = shell::indexOfPath(FoundDeviceList, device.DevicePath);
    if (found >= 0)
        FoundDeviceList[found] = device;
}

} // namespace

DialogChange::DialogChange(QWidget* parent)
    : QWidget(parent)
{
    setupForm();
    ChoicePage = this;
    m_comboBox->setCurrentIndex(0);
    setupStyles();
    m_label2->show();
    m_label3->show();
    m_rightButton->hide();
    m_leftButton->hide();
    m_repair->hide();
    setupConnections();
    m_repair->setVisible(repairNeeded());
    ConfiguredDriveCount = core::driveTotal();
    const int language = shell::LanguageFile::currentIndex();
    m_comboBox->setCurrentIndex(language);
    ChangeDialogLanguage(language);
    m_findVer->hide();
    core::hotPlugCoalescer(core::HotPlugOwner::ChoicePage).attach(this, [this] { Rescan(); });
    core::handHotPlugTo(core::HotPlugOwner::ChoicePage);
}

DialogChange::~DialogChange()
{
    core::hotPlugCoalescer(core::HotPlugOwner::ChoicePage).detach(this);
    if (ChoicePage == this)
        ChoicePage = nullptr;
}

void DialogChange::OnUsbChanged()
{
    core::hotPlugChanged();
}

void DialogChange::Rescan()
{
    // While the frame shows, changes are the worker's; the tiles are scanned
    // again when they show.
    if (core::hotPlugPage() != core::HotPlugOwner::ChoicePage)
        return;
    if (m_busy > 0) {
        m_rescanDeferred = true;
        return;
    }
    showRepairState(repairNeeded());
    TileDeviceList.clear();
    FoundDeviceList.clear();
    const core::ProductIds ids = core::ProductIds::read();
    Wireless1kPidList = ids.w1k;
    Wireless2kPidList = ids.w2k;
    Wireless4kPidList = ids.w4k;
    Wireless8kPidList = ids.w8k;
    ScanDevices(core::vendorId(), ids.searchOrder());
    BuildDeviceButtons();
    if (shell::repairDialogWaitsForCheck())
        PostMsg::instance()->EmitRepairCheckUpdate();
}

void DialogChange::ScanDevices(const QString& vid, const QStringList& pids)
{
    for (const QString& pid : pids) {
        for (const QByteArray& path : core::findDevicePaths(vid, pid, core::PathSearch::DefaultDeviceId)) {
            DeviceAllInfo device = core::foundDevice(path, vid, pid);
            if (IdentifyDevice(device)) {
                TileDeviceList.append(device);
                FoundDeviceList.append(device);
            }
        }
    }
}

bool DialogChange::IdentifyDevice(DeviceAllInfo& device)
{
    const QByteArray path = pathBytes(device.DevicePath);
    const core::Identity identity = core::askIdentity(path);
    const int total = core::driveTotal();
    if (identity.answered) {
        const int group = core::driveIndexOf(identity.id);
        if (group >= 0) {
            device.Cid = identity.id.Cid;
            device.Mid = identity.id.Mid;
            device.SetDeviceKind(identity.id.Kind);
            device.DriveIndex = group;
            if (UsbFinderC_GetDeviceOnLine(path.constData()))
                device.Online = true;
            return true;
        }
        if (total < 1)
            return false;
    }
    device.RestrictedKind = DeviceAllInfo::IsRestrictedKind(identity.id.Kind);
    device.DriveIndex = total;
    return true;
}

bool DialogChange::RefreshDeviceOnline(int index)
{
    if (index < 0 || index >= TileDeviceList.size())
        return false;
    DeviceAllInfo device = TileDeviceList.at(index);
    const core::LinkState link = core::readLink(pathBytes(device.DevicePath));
    device.Online = link.online;
    device.UsbAddress = link.address;
    storeRefreshed(index, device);
    return link.address != QByteArray(3, '\0');
}

bool DialogChange::UpdateDeviceIcon(int index)
{
    if (TileDeviceList.isEmpty())
        return true;
    if (index < 0 || index >= TileDeviceList.size() || index >= m_tileButtons.size())
        return true;
    DeviceAllInfo device = TileDeviceList.at(index);
    device.Online = false;
    const core::LinkState link = core::readLink(pathBytes(device.DevicePath));
    IdentifyDevice(device);
    device.Online = link.online;
    device.UsbAddress = link.address;
    storeRefreshed(index, device);

    if (device.DriveIndex == ConfiguredDriveCount) {
        m_tileLinkBadges[index]->show();
        styleTile(index, QStringLiteral("Unknow.png"));
    } else if (device.Online) {
        m_tileLinkBadges[index]->show();
        m_tileStatusLabels[index]->hide();
        styleTile(index, QStringLiteral("OnLine0.png"));
    } else {
        styleTile(index, QStringLiteral("DisOnlin0.png"));
        m_tileStatusLabels[index]->show();
        m_tileLinkBadges[index]->hide();
    }
    return true;
}

void DialogChange::styleTile(int index, const QString& image)
{
    m_tileButtons[index]->setStyleSheet(tileStyle(m_skin, image));
}

void DialogChange::clearTiles()
{
    // Tile widgets are children of their page; a page is only scheduled for
    // deletion, as a click on one of its tiles may still be on the stack.
    m_tileButtons.clear();
    m_tileStatusLabels.clear();
    m_tileLinkBadges.clear();
    m_tileRateBadges.clear();
    while (m_stackedWidget->count() > 0) {
        QWidget* page = m_stackedWidget->widget(0);
        m_stackedWidget->removeWidget(page);
        page->hide();
        page->deleteLater();
    }
}

void DialogChange::BuildDeviceButtons()
{
    clearTiles();
    m_leftButton->hide();
    m_rightButton->hide();
    if (TileDeviceList.isEmpty()) {
        m_label2->show();
        m_label3->hide();
        return;
    }
    for (int i = 0; i < TileDeviceList.size(); ++i)
        RefreshDeviceOnline(i);
    const shell::TileSelection selection = shell::selectTiles(TileDeviceList, ConfiguredDriveCount, pidLists());
    TileDeviceList = selection.tiles;
    if (selection.duplicates) {
        m_label2->show();
        m_label3->hide();
        showDuplicateNotice();
        return;
    }
    m_label2->hide();
    m_label3->show();
    const QVector<shell::TilePlace> places = shell::tilePlaces(TileDeviceList.size());
    // Pages are filled before they join the stack: a child added to a page
    // already on screen would stay hidden.
    QList<QWidget*> pages;
    for (int i = 0; i < places.size(); ++i) {
        if (places[i].page >= pages.size())
            pages.append(new QWidget);
        addTile(i, places[i], pages.last());
    }
    for (QWidget* page : qAsConst(pages))
        m_stackedWidget->addWidget(page);
    showTilePage(0);
    for (mytoolButtonEnter* tile : qAsConst(m_tileButtons)) {
        UpdateDeviceIcon(mytoolButtonEnter::tileNumber(tile->objectName()));
        connect(tile, &QToolButton::clicked, this, &DialogChange::slotButtonClicked);
        connect(tile, &mytoolButtonEnter::entered, this, &DialogChange::UpdateDeviceIcon);
    }
}

void DialogChange::addTile(int index, const shell::TilePlace& place, QWidget* page)
{
    const DeviceAllInfo& device = TileDeviceList.at(index);
    auto* tile = new mytoolButtonEnter(page);
    tile->setObjectName(QStringLiteral("btn") + QString::number(index));
    tile->setFixedSize(284, 360);
    tile->move(place.button);
    tile->setFocusPolicy(Qt::NoFocus);
    const bool unmatched = device.DriveIndex == ConfiguredDriveCount;
    tile->setStyleSheet(tileStyle(m_skin, unmatched ? QStringLiteral("Unknow.png") : QStringLiteral("DisOnlin0.png")));
    m_tileButtons.append(tile);

    auto* offline = new QLabel(page);
    offline->setObjectName(QStringLiteral("label") + QString::number(index));
    offline->setFixedSize(32, 32);
    offline->move(place.badge);
    offline->setStyleSheet(badgeStyle(m_skin, QStringLiteral("DisOnline.png")));
    offline->setToolTip(OfflineTips1Text + QLatin1Char('\n') + OfflineTips2Text);
    offline->hide();
    m_tileStatusLabels.append(offline);

    auto* link = new QLabel(page);
    link->setObjectName(QStringLiteral("UsbWifi") + QString::number(index));
    link->setFixedSize(32, 32);
    link->move(place.badge);
    link->setStyleSheet(
        badgeStyle(m_skin, device.RestrictedKind ? QStringLiteral("OnLineUsb.png") : QStringLiteral("OnLineWifi.png")));
    link->hide();
    m_tileLinkBadges.append(link);

    const QString rate = shell::rateBadgeImage(device.Pid, pidLists(), place.fullPage);
    if (rate.isEmpty())
        return;
    auto* badge = new QLabel(page);
    badge->setObjectName(QStringLiteral("Rate") + QString::number(index));
    badge->setFixedSize(42, 26);
    badge->move(place.rate);
    badge->setFocusPolicy(Qt::NoFocus);
    badge->setStyleSheet(shell::pictureSheet(QStringLiteral("QLabel{background-image: url(") + m_skin + rate
                                             + QStringLiteral(");}")));
    m_tileRateBadges.append(badge);
}

void DialogChange::showTilePage(int page)
{
    const int pages = m_stackedWidget->count();
    if (pages == 0)
        return;
    page = qBound(0, page, pages - 1);
    m_stackedWidget->setCurrentIndex(page);
    const shell::Arrows arrows = shell::arrowsFor(page, pages);
    m_leftButton->setVisible(arrows.left);
    m_rightButton->setVisible(arrows.right);
}

int DialogChange::CurrentTilePage() const
{
    return m_stackedWidget->currentIndex();
}

void DialogChange::showDuplicateNotice()
{
    // Each rescan finding duplicates would open another notice over the
    // first; one is enough until the user closes it.
    if (m_duplicateNoticeOpen)
        return;
    m_duplicateNoticeOpen = true;
    beginBusy();
    {
        QuestiondialogB notice;
        placeCentred(&notice);
        notice.exec();
    }
    m_duplicateNoticeOpen = false;
    endBusy();
}

void DialogChange::on_RightButton_clicked()
{
    m_label2->hide();
    m_label3->show();
    showTilePage(CurrentTilePage() + 1);
}

void DialogChange::on_LeftButton_clicked()
{
    m_label2->hide();
    m_label3->show();
    showTilePage(CurrentTilePage() - 1);
}

void DialogChange::on_MinButton_clicked()
{
    PostMsg::instance()->EmitChangeSize(2);
}

void DialogChange::on_CloseButton_clicked()
{
    PostMsg::instance()->EmitChangeSize(3);
}

void DialogChange::on_comboBox_activated(int index)
{
    dialogs::chooseLanguage(index, &PostMsg::EmitLanguageSameB, [this](QWidget* notice) { placeCentred(notice); });
}

void DialogChange::showNotSaved(MakeMacro::Text text, int language)
{
    dialogs::showNotSaved(text, language, [this](QWidget* notice) { placeCentred(notice); });
}

void DialogChange::SlotSameLanguageA(int index)
{
    const QSignalBlocker block(m_comboBox);
    m_comboBox->setCurrentIndex(index);
}

void DialogChange::on_CloseButton_2_clicked()
{
    m_findVer->hide();
}

void DialogChange::on_NewHong_clicked()
{
    m_findVer->hide();
}

void DialogChange::on_NoApear_clicked(bool checked)
{
    if (MacroIni::Instance()->SetValue(QStringLiteral("FindNew"), QStringLiteral("IsShow"),
                                       checked ? QStringLiteral("1") : QStringLiteral("0")))
        return;
    // The store holds what it was given for the run: it takes back the choice the box shows.
    MacroIni::Instance()->SetValue(QStringLiteral("FindNew"), QStringLiteral("IsShow"),
                                   checked ? QStringLiteral("0") : QStringLiteral("1"));
    {
        const QSignalBlocker quiet(m_noApear);
        m_noApear->setChecked(!checked);
    }
    showNotSaved(MakeMacro::Text::ChoiceNotSaved);
}

void DialogChange::SlotUpDateButton(bool IsHide)
{
    showRepairState(!IsHide);
}

void DialogChange::showRepairState(bool repairNeeded)
{
    m_repair->setVisible(repairNeeded);
    // Without a language file the form's own text stays.
    const QString& text = repairNeeded ? RepairDeviceText : NoDeviceText;
    if (!text.isEmpty())
        m_label2->setText(text);
}

shell::ReceiverPidLists DialogChange::pidLists() const
{
    return {Wireless1kPidList, Wireless2kPidList, Wireless4kPidList, Wireless8kPidList};
}

void DialogChange::placeCentred(QWidget* dialog, int dx)
{
    dialog->move(dialogs::DialogFrame::placement(mapToGlobal(QPoint(0, 0)), size(), dialog->size(), dx, 0));
}

void DialogChange::beginBusy()
{
    ++m_busy;
}

void DialogChange::endBusy()
{
    if (--m_busy > 0 || !m_rescanDeferred)
        return;
    m_rescanDeferred = false;
    QTimer::singleShot(0, this, &DialogChange::Rescan);
}
