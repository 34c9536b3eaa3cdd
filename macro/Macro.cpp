#include "macro/Macro.h"

#include "core/AppPaths.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "dialogs/ExeIsRun.h"
#include "dialogs/KeyHook.h"
#include "dialogs/KeyNumberLimit.h"
#include "dialogs/MakeMacro.h"
#include "dialogs/SameMacro.h"
#include "macro/MacroForm.h"
#include "shell/common/LanguageFile.h"
#include "shell/common/LanguageNames.h"
#include "shell/common/MyConmboBox.h"
#include "shell/common/PictureCheck.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <iterator>
#include <limits>

namespace {

// Language children shown on a widget of the page.
constexpr shell::TextBinding kTexts[] = {
    {"label", "label"},
    {"label_2", "label_2"},
    {"NewHong", "NewHong"},
    {"DeleteHong", "DeleteHong"},
    {"Amend", "Amend"},
    {"DeleteKey", "DeleteKey"},
    {"ChooseEvent1", "ChooseEvent", shell::TextRole::ItemText, 1},
    {"ChooseEvent2", "ChooseEvent", shell::TextRole::ItemText, 2},
    {"ChooseEvent3", "ChooseEvent", shell::TextRole::ItemText, 3},
    {"StartRecord", "StartRecord"},
    {"StopRecord", "StopRecord"},
    {"AutoInsertDelay", "AutoInsertDelayLabel"},
    {"DefaultDelay", "DefaultDelay"},
    {"ReUntilLoose", "ReUntilLooseLabel"},
    {"ReUntilClick", "ReUntilClickLabel"},
    {"ReUntil", "ReUntilLabel"},
    {"ReNumber", "ReNumber"},
    {"label_3", "label_3"},
    {"Save", "Save"},
};

// The mouse-button names the macro encoders compare with follow the language.
struct MouseNameRow {
    const char* child;
    QString* name;
    int item;
    quint16 code;  // the button's bit in a key event
};
const MouseNameRow kMouseNames[] = {
    {"ChooseEvent4", &LeftButtonName, 4, 0x01},    {"ChooseEvent5", &RightButtonName, 5, 0x02},
    {"ChooseEvent6", &MiddleButtonName, 6, 0x04},  {"ChooseEvent7", &ForwardButtonName, 7, 0x10},
    {"ChooseEvent8", &BackButtonName, 8, 0x08},
};

// The macro notice's text of each page notice from ImportRefused on, in order.
const MakeMacro::Text kMacroNotices[] = {
    MakeMacro::Text::ImportRefused, MakeMacro::Text::NameUnsafe,    MakeMacro::Text::NameTooLong,
    MakeMacro::Text::MacroTooLong,  MakeMacro::Text::ExportTooLong, MakeMacro::Text::FileNotSaved,
    MakeMacro::Text::NotRenamed,    MakeMacro::Text::NotDeleted,    MakeMacro::Text::MacroNotSaved,
};

constexpr qint64 kLongestDelayMs = std::numeric_limits<quint32>::max();

// The language index whose "NewHong" text is also its tool tip.
constexpr int kToolTipLanguage = 5;

} // namespace

Macro::Macro(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<MacroForm>())
{
    m_ui->setupUi(this);
    KeyHook = new KeyboardHook(this);
    PictureDir = AppDir() + QStringLiteral("/Picture/Macro/");
    MacroPageDir = core::macroFolderPath();
    m_pressIcon = shell::pictureIcon(PictureDir + QStringLiteral("MacroDown.png"));
    m_releaseIcon = shell::pictureIcon(PictureDir + QStringLiteral("MacroUp.png"));
    m_delayIcon = shell::pictureIcon(PictureDir + QStringLiteral("MacroTime.png"));
    m_ui->applyStyles(PictureDir);
    LoadMacroList();
    setupGroups();
    m_ui->StopRecord->hide();
    m_ui->AutoInsertDelay->setChecked(true);
    m_ui->setSaveEnabled(false);
    setupConnections();
    SlotChangeLanguage(MacroIni::Instance()->LanguageIndex());
}

Macro::~Macro()
{
    // The hook goes with the page; so must the state it left behind.
    MacroRecording = false;
}

void Macro::setupGroups()
{
    DelayGroup = new QButtonGroup(this);
    DelayGroup->setExclusive(true);
    DelayGroup->addButton(m_ui->AutoInsertDelay);
    DelayGroup->addButton(m_ui->DefaultDelay);
    RepeatGroup = new QButtonGroup(this);
    RepeatGroup->setExclusive(true);
    for (QCheckBox* box : {m_ui->ReUntilLoose, m_ui->ReUntilClick, m_ui->ReNumber, m_ui->ReUntil})
        RepeatGroup->addButton(box);
    // Every toggle counts: a switch between two modes arrives twice.
    connect(RepeatGroup, QOverload<QAbstractButton*, bool>::of(&QButtonGroup::buttonToggled), this, [this] {
        RepeatChanged = true;
        setSaveEnabled(true);
    });
}

void Macro::setupConnections()
{
    struct ButtonRow {
        QAbstractButton* button;
        void (Macro::*slot)();
    };
    const ButtonRow buttons[] = {
        {m_ui->StartRecord, &Macro::on_StartRecord_clicked}, {m_ui->StopRecord, &Macro::on_StopRecord_clicked},
        {m_ui->NewHong, &Macro::on_NewHong_clicked},         {m_ui->DeleteHong, &Macro::on_DeleteHong_clicked},
        {m_ui->Amend, &Macro::on_Amend_clicked},             {m_ui->DeleteKey, &Macro::on_DeleteKey_clicked},
        {m_ui->Save, &Macro::on_Save_clicked},
    };
    for (const ButtonRow& row : buttons)
        connect(row.button, &QAbstractButton::clicked, this, row.slot);
    connect(m_ui->listWidgetHong, &QListWidget::clicked, this, &Macro::on_listWidgetHong_clicked);
    connect(m_ui->listWidgetHong, &QListWidget::customContextMenuRequested, this,
            &Macro::on_listWidgetHong_customContextMenuRequested);
    connect(m_ui->ChooseEvent, QOverload<int>::of(&QComboBox::activated), this, &Macro::on_ChooseEvent_activated);
    connect(m_ui->NumberEdit, QOverload<int>::of(&QSpinBox::valueChanged), this, &Macro::on_NumberEdit_valueChanged);
    connect(m_ui->listWidgetKey, &QListWidget::itemChanged, this, &Macro::on_listWidgetKey_itemChanged);
    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigChangeLanguage, this, &Macro::SlotChangeLanguage);
    connect(bus, &PostMsg::SigSetMacroPage, this, &Macro::SlotSetMacroPage);
    connect(bus, &PostMsg::SigMacroDownLoadData, this, &Macro::SlotMacroDownLoadData);
    connect(bus, &PostMsg::SigButtonToMacro, this, &Macro::SlotButtonToMacro);
}

void Macro::setSaveEnabled(bool enabled)
{
    // Save is armed by every change; it is disarmed also for unsaved rows
    // (a recording ended by leaving the device), which still count as edited.
    if (enabled)
        m_shown.edited = true;
    m_ui->setSaveEnabled(enabled);
}

bool Macro::refusesWhileRecording()
{
    if (MacroRecording)
        showNotice(Notice::StopRecording);
    return MacroRecording;
}

void Macro::showNotice(Notice notice)
{
    // Parentless like every notice of the family; placed over the page.
    auto run = [this](dialogs::DialogFrame& dialog) {
        dialog.placeOver(this, -100, -50);
        dialog.exec();
    };
    switch (notice) {
    case Notice::StopRecording:
    case Notice::ChooseMacro: {
        ExeIsRun dialog(nullptr);
        notice == Notice::StopRecording ? dialog.SetLabelText2() : dialog.SetLabelText();
        run(dialog);
        break;
    }
    case Notice::KeyLimit: {
        KeyNumberLimit dialog(nullptr);
        run(dialog);
        break;
    }
    case Notice::SameName: {
        SameMacro dialog(nullptr);
        run(dialog);
        break;
    }
    default: {
        static_assert(std::size(kMacroNotices) == int(Notice::MacroNotSaved) - int(Notice::ImportRefused) + 1);
        MakeMacro dialog(nullptr, kMacroNotices[int(notice) - int(Notice::ImportRefused)]);
        run(dialog);
        break;
    }
    }
}

void Macro::SlotChangeLanguage(int index)
{
    const shell::LanguageElement texts = shell::LanguageFile::cachedElement(index, QStringLiteral("Macro"));
    if (texts.isEmpty())
        return;
    shell::applyTexts(this, texts, kTexts);
    QString text;
    for (const MouseNameRow& row : kMouseNames) {
        if (!texts.find(QLatin1String(row.child), &text))
            continue;
        *row.name = text;
        m_ui->ChooseEvent->setItemText(row.item, text);
    }
    if (texts.find(QStringLiteral("NewHong"), &text))
        m_ui->NewHong->setToolTip(MacroIni::Instance()->LanguageIndex() == kToolTipLanguage ? text : QString());
    const QPair<const char*, QString*> members[] = {
        {"MacroReal", &MacroRealText},  {"Key1", &ExportActionText}, {"Key2", &RenameActionText},
        {"Key3", &DeleteActionText},    {"Key4", &NewActionText},    {"Key5", &ImportActionText},
    };
    for (const auto& member : members)
        texts.find(QLatin1String(member.first), member.second);
}

core::MouseNameCodes Macro::mouseNamesOfAllLanguages()
{
    // The current language last, so the shared cache of parsed language
    // files ends where the windows read.
    const int chosen = shell::LanguageFile::currentIndex();
    const int current = chosen >= 0 && chosen < shell::kLanguageCount ? chosen : 0;
    core::MouseNameCodes codes;
    for (int step = 1; step <= shell::kLanguageCount; ++step) {
        const int index = (current + step) % shell::kLanguageCount;
        const shell::LanguageElement texts = shell::LanguageFile::cachedElement(index, QStringLiteral("Macro"));
        QString name;
        for (const MouseNameRow& row : kMouseNames) {
            if (texts.find(QLatin1String(row.child), &name) && !name.isEmpty() && !codes.contains(name))
                codes.insert(name, row.code);
        }
    }
    return codes;
}

void Macro::mousePressEvent(QMouseEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return;
    const QPoint at = event->pos();
    if (m_ui->DelayTime->geometry().contains(at) || m_ui->NumberEdit->geometry().contains(at))
        return;
    m_ui->DelayTime->clearFocus();
    m_ui->NumberEdit->clearFocus();
    setFocus(Qt::OtherFocusReason);
}

void Macro::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12)
        return;
    QWidget::keyPressEvent(event);
}

void Macro::changeEvent(QEvent* event)
{
    if (event->type() != QEvent::LanguageChange) {
        QWidget::changeEvent(event);
        return;
    }
    const int chosen = m_ui->ChooseEvent->currentIndex();
    const int delay = m_ui->DelayTime->value();
    const int count = m_ui->NumberEdit->value();
    const QSignalBlocker blockChooser(m_ui->ChooseEvent);
    const QSignalBlocker blockDelay(m_ui->DelayTime);
    const QSignalBlocker blockCount(m_ui->NumberEdit);
    m_ui->setDefaultTexts();
    m_ui->DelayTime->setValue(delay);
    m_ui->NumberEdit->setValue(count);
    m_ui->ChooseEvent->setCurrentIndex(chosen);
}

void Macro::on_StartRecord_clicked()
{
    if (m_shown.name.isEmpty()) {
        showNotice(Notice::ChooseMacro);
        return;
    }
    PostMsg::instance()->EmitStartRecord(0);
    m_recorder.start();
    m_ui->ChooseEvent->setEnabled(false);
    EventsChanged = true;
    KeyHook->InstallHook();
    KeyHook->SetCallback(this, [this](int keyCode, bool down, bool repeat) {
        UpdateCapslockTip(keyCode, down, repeat);
    });
    m_ui->StartRecord->hide();
    m_ui->StopRecord->show();
    MacroRecording = true;
    showMacroRows(m_shown.name, {});
    m_shown.edited = true;
    m_ui->DelayTime->hide();
    m_ui->NumberEdit->hide();
    m_ui->listWidgetHong->setEnabled(false);
}

void Macro::UpdateCapslockTip(int keyCode, bool downOrUp, bool /*aotu*/)
{
    if (!MacroRecording) {
        EventTimer.restart();
        return;
    }
    const qint64 measured = EventTimer.isValid() ? EventTimer.elapsed() : 0;
    const quint32 delay = m_ui->AutoInsertDelay->isChecked() ? quint32(qBound<qint64>(0, measured, kLongestDelayMs))
                                                             : quint32(m_ui->DelayTime->value());
    const macro::MacroRecorder::Step step = m_recorder.take(keyCode, downOrUp, delay);
    if (!step.taken)
        return;
    EventTimer.restart();
    if (step.delay)
        AddDelayItem(*step.delay);
    if (step.key)
        AddKeyItem(*step.key);
    if (step.limitReached) {
        MacroRecording = false;
        KeyHook->UnInstallHook();
        // Shown once the key message has been handled, not from inside the hook.
        QTimer::singleShot(0, this, [this] { showNotice(Notice::KeyLimit); });
    }
}

void Macro::on_StopRecord_clicked()
{
    PostMsg::instance()->EmitStartRecord(1);
    endRecordingLayout();
    setSaveEnabled(true);
}

void Macro::SlotSetMacroPage()
{
    PostMsg::instance()->EmitStartRecord(1);
    endRecordingLayout();
    // Rows recorded and not saved stay, but need an edit before they can be saved.
    setSaveEnabled(false);
}

void Macro::endRecordingLayout()
{
    // A recording that ended right after a key without a name ends in a delay.
    if (!m_ui->StopRecord->isHidden())
        dropTrailingDelayRow();
    KeyHook->UnInstallHook();
    m_recorder.stop();
    m_ui->StopRecord->hide();
    m_ui->StartRecord->show();
    m_ui->DelayTime->show();
    m_ui->NumberEdit->show();
    m_ui->listWidgetHong->setEnabled(true);
    MacroRecording = false;
    m_ui->ChooseEvent->setEnabled(true);
}
