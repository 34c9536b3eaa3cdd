#include "shell/pairing/Match.h"

#include "core/ConfigIni.h"
#include "core/DeviceReport.h"
#include "core/DeviceScan.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Skin.h"
#include "devicelib/HIDUsb.h"
#include "dialogs/DialogFrame.h"
#include "shell/common/PictureCheck.h"

#include <QKeySequence>
#include <QFrame>
#include <QLabel>
#include <QLoggingCategory>
#include <QPainterPath>
#include <QRegion>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

Q_LOGGING_CATEGORY(lcMatch, "app.shell.match")

namespace {

constexpr int kPairStatusMs = 1000;
constexpr int kBusWatchMs = 100;
constexpr int kTextMs = 500;
constexpr unsigned char kPairStatusReport = 6;
constexpr unsigned char kPairStatusBusy = 1;
constexpr unsigned char kPairStatusFail = 2;
constexpr unsigned char kPairStatusSuccess = 3;

enum PairStateValue { Idle = 0, Pairing = 1, Paired = 2, Failed = 3 };

const char* const kPairImage = "Pair.png";
const char* const kFailImage = "PairFail.png";
const char* const kSuccessImage = "PairSuccess.png";

const dialogs::FrameLayout kLayout = {"Match",
                                      "MatchFrame",
                                      "Match",
                                      {"label", QRect(30, 74, 360, 166), "This device cannot be paired."},
                                      {"CloseButton", QRect(392, 8, 20, 20)},
                                      {},
                                      {},
                                      dialogs::LockDialogSize,
                                      QSize(420, 330),
                                      "Setting"};

// The corner radius of the card picture ("BackGround.png" of the "Setting" skin).
constexpr qreal kCardRadius = 12;

} // namespace

Match::Match(QWidget* parent)
    : DialogFrame(kLayout, parent)
    , m_currentPath(CurrentDeviceInfoCopy().DevicePath)
    , m_idleText(QStringLiteral("Pair"))
    , m_matchingText(QStringLiteral("Pairing"))
    , m_failText(QStringLiteral("Pairing failed"))
    , m_successText(QStringLiteral("Paired"))
{
    setupForm();
    setupStyles();
    m_pairTimer = new QTimer(this);
    m_pairTimer->setInterval(kPairStatusMs);
    m_usbTimer = new QTimer(this);
    m_usbTimer->setInterval(kBusWatchMs);
    m_textTimer = new QTimer(this);
    m_textTimer->setInterval(kTextMs);
    connect(m_pairTimer, &QTimer::timeout, this, &Match::onPairTimeupDestroy);
    connect(m_usbTimer, &QTimer::timeout, this, &Match::onUSBTimeupDestroy);
    connect(m_textTimer, &QTimer::timeout, this, &Match::onTextTimeupDestroy);
    connect(m_matchButton, &QToolButton::clicked, this, &Match::on_MatchButton_clicked);
    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigTimerStop, this, &Match::SlotStopTimer);
    connect(bus, &PostMsg::SigButtonEnable, this, &Match::SlotButtonenable);
    loadCurrentLanguage();
}

Match::~Match() = default;

void Match::setupForm()
{
    // The card's rounded corners show what lies behind the dialog: translucent where a compositor
    // blends it, and cut to the card's outline where none does (else the corners show black).
    setAttribute(Qt::WA_TranslucentBackground);
    QPainterPath card;
    card.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(kLayout.size)), kCardRadius, kCardRadius);
    setMask(QRegion(card.toFillPolygon().toPolygon()));
    m_textEdit = new QTextEdit(frame());
    m_textEdit->setObjectName(QStringLiteral("textEdit"));
    m_textEdit->setGeometry(30, 74, 360, 166);
    m_textEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textEdit->setReadOnly(true);
    m_textEdit->setFrameShape(QFrame::NoFrame);
    m_textEdit->setFocusPolicy(Qt::NoFocus);
    m_textEdit->setFont(dialogFont(10));
    m_textEdit->setPlainText(QStringLiteral("Switch the mouse on, then press Pair."));
    label()->hide();
    m_matchButton = new QToolButton(frame());
    m_matchButton->setObjectName(QStringLiteral("MatchButton"));
    m_matchButton->setGeometry(125, 262, 170, 40);
    m_matchButton->setFont(dialogFont(12));
    m_matchButton->setFocusPolicy(Qt::NoFocus);
}

void Match::setupStyles()
{
    const QString label = core::optionColour("LabelColor");
    m_buttonColour = core::optionColour("ButtonColor");
    const QString text = QStringLiteral("color: rgb(") + label + QStringLiteral(");background: transparent;");
    m_textEdit->setStyleSheet(QStringLiteral("QTextEdit{") + text + QStringLiteral("}"));
    this->label()->setStyleSheet(QStringLiteral("QLabel{") + text + QStringLiteral("}"));
}

void Match::showButton(const QString& text, const char* image)
{
    m_matchButton->setText(text);
    const QString face = QStringLiteral("border-image: url(") + skinFolder() + QString::fromLatin1(image) + QStringLiteral(");");
    m_matchButton->setStyleSheet(shell::pictureSheet(QStringLiteral("QToolButton{border:0px;color: rgb(")
                                                     + m_buttonColour + QStringLiteral(");") + face
                                                     + QStringLiteral("}QToolButton:disabled{color: rgb(0,0,0);}")));
}

void Match::InitPairInfo()
{
    m_matchButton->setShortcut(QKeySequence(Qt::Key_Space));
    PairTextStep = 0;
    PairState = Idle;
    m_matchButton->setEnabled(true);
    showButton(m_idleText, kPairImage);
    m_cid = quint8(ConfigIni::GetInstance()->GetInt(QStringLiteral("Option"), QStringLiteral("CID"), 0));
    m_fromFrame = MainPageIndex.load() == 1;
    if (m_fromFrame) {
        const DeviceAllInfo current = CurrentDeviceInfoCopy();
        m_pairDevice = current;
        m_pairDevice.DevicePath = m_currentPath;
    } else if (PairRequested.load()) {
        m_pairDevice = PairDeviceInfo;
    } else if (!TileDeviceList.isEmpty()) {
        m_pairDevice = TileDeviceList.first();
    } else {
        m_pairDevice = DeviceAllInfo();
    }
    onUSBTimeupDestroy();
    m_usbTimer->start();
}

void Match::on_MatchButton_clicked()
{
    if (PairState.load() == Paired || !m_pairAllowed)
        return;
    PairState = Pairing;
    m_textTimer->start();
    showButton(m_matchingText, kPairImage);
    // While pairing the worker's pass must open nothing on the frame.
    if (MainPageIndex.load() == 1) {
        MainPageIndex = 0;
        RestoreMainPage = 1;
    }
    PairingActive = 0;
    EnterPair();
}

void Match::EnterPair()
{
    if (PairingActive.load() == 0) {
        qCDebug(lcMatch) << "Enter";
        PairingActive = 1;
        m_pairTimer->start();
        const QByteArray path = m_pairDevice.DevicePath.toLatin1();
        m_tookLink = true;
        UsbServerC_Start(path.constData(), path.constData(), &Match::OnPairReport);
    }
    UsbServer_EnterDonglePairOnlyCid(m_cid);
}

void Match::OnPairReport(const unsigned char* header, int headerLen, const unsigned char* data, int dataLen)
{
    if (LinkClosing.load())
        return;
    const int type = (header && headerLen > 1) ? header[1] : 0;
    qCDebug(lcMatch) << "in2" << type;
    if (type != kPairStatusReport || !data || dataLen < 1)
        return;
    const unsigned char status = data[0];
    if (status != kPairStatusFail && status != kPairStatusSuccess)
        return;
    const bool paired = status == kPairStatusSuccess;
    PostMsg::instance()->EmitTimerStop();
    PairingActive = 0;
    qCDebug(lcMatch) << (paired ? "success" : "fail");
    PairState = paired ? Paired : Failed;
    PostMsg::instance()->EmitButtonEnable(paired ? 1 : 0);
    if (RestoreMainPage.exchange(0))
        MainPageIndex = 1;
}

void Match::SlotStopTimer()
{
    m_pairTimer->stop();
    m_textTimer->stop();
}

void Match::SlotButtonenable(int index)
{
    if (index == 0) {
        showButton(m_failText, kFailImage);
    } else if (index == 1) {
        showButton(m_successText, kSuccessImage);
        m_matchButton->setEnabled(false);
    }
}

void Match::onPairTimeupDestroy()
{
    UsbServer_ReadDonglePairStatus();
    if (core::pathOnBus(m_pairDevice) || PairingActive.load() == 0)
        return;
    // The receiver vanished while pairing: no result will come.
    m_pairTimer->stop();
    m_textTimer->stop();
    PairingActive = 0;
    PairState = Failed;
    showButton(m_failText, kFailImage);
    restoreMainPage();
}

void Match::restoreMainPage()
{
    if (RestoreMainPage.exchange(0))
        MainPageIndex = 1;
}

void Match::onUSBTimeupDestroy()
{
    if (PairingActive.load() != 0)
        return;
    // A device reached by cable cannot pair, and without any device there is
    // nothing to pair with.
    m_pairAllowed = !m_pairDevice.RestrictedKind && !m_pairDevice.DevicePath.isEmpty();
    label()->setVisible(!m_pairAllowed);
    m_textEdit->setVisible(m_pairAllowed);
    // After a success the button stays disabled: the pair is made.
    const bool enable = m_pairAllowed && PairState.load() != Paired;
    if (!enable && m_matchButton->isEnabled())
        showButton(m_matchButton->text(), kPairImage);
    m_matchButton->setEnabled(enable);
}

void Match::onTextTimeupDestroy()
{
    static const char* const kDots[] = {"", ".", "..", "..."};
    const int step = PairTextStep.load();
    if (step < 4)
        m_matchButton->setText(m_matchingText + QString::fromLatin1(kDots[step]));
    PairTextStep = step < 4 ? step + 1 : 0;
}

void Match::applyLanguage(const shell::LanguageElement& texts)
{
    QString text;
    if (texts.find(QStringLiteral("label"), &text))
        label()->setText(text);
    if (texts.find(QStringLiteral("textEdit"), &text))
        m_textEdit->setPlainText(text);
    const bool idle = m_matchButton->text() == m_idleText;
    texts.find(QStringLiteral("MatchButton"), &m_idleText);
    texts.find(QStringLiteral("Matching"), &m_matchingText);
    texts.find(QStringLiteral("MatchFail"), &m_failText);
    texts.find(QStringLiteral("MatchSuccess"), &m_successText);
    if (idle || m_matchButton->text().isEmpty())
        m_matchButton->setText(m_idleText);
}

void Match::WindowClosedSet()
{
    if (PairingActive.load() != 0)
        return;
    // Hot-plug goes back to whoever owned it before pairing: the worker when
    // pairing was opened from the frame, the choice page otherwise.
    core::handHotPlugTo(m_fromFrame ? core::HotPlugOwner::Worker : core::HotPlugOwner::ChoicePage);
    giveLinkBack();
    m_pairTimer->stop();
    m_usbTimer->stop();
    m_textTimer->stop();
    m_closing = true;
    DialogFrame::reject();
}

// Pairing took the open device's reports for itself. While the frame shows a mouse, its reports
// go back to the device-report dispatcher as the dialog closes, whoever opened it: left with the
// pairing callback they would be dropped, and the pages would stop following the mouse.
void Match::giveLinkBack()
{
    if (!m_tookLink || MainPageIndex.load() != 1)
        return;
    m_tookLink = false;
    const std::string path = CurrentDevicePath();
    UsbServerC_Start(path.c_str(), path.c_str(), &OnDeviceReport);
}

void Match::closeClicked()
{
    WindowClosedSet();
}

void Match::reject()
{
    if (m_closing) {
        DialogFrame::reject();
        return;
    }
    WindowClosedSet();
}
