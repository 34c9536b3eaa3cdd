#pragma once

#include "core/FlashDataMap.h"
#include "core/MacroCodec.h"
#include "core/ProcessState.h"
#include "macro/MacroEventList.h"
#include "macro/MacroRecorder.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class KeyboardHook;
class MacroForm;
class QButtonGroup;
class QListWidgetItem;
class QModelIndex;

// The macro editor page: the list of stored macros (one file each in the
// user's macro folder), the events of the macro shown, recording from the
// keyboard, and the repeat mode. It talks to other pages only through the
// PostMsg bus. GUI thread only.
//
// The event list's rows carry, besides icon, text and item type (0 press or
// delay, 1 release), the event code and type of their key, so a row is saved
// the same whatever the language its mouse-button name was made in.
class Macro final : public QWidget
{
    Q_OBJECT

public:
    explicit Macro(QWidget* parent = nullptr);
    ~Macro() override;

    // Test seam: the next file question (export or import) answers `path`
    // without showing a dialog; "" answers as a cancelled dialog.
    static void setNextFileForTesting(const QString& path);

public slots:
    // Leaving the device ends a recording.
    void SlotSetMacroPage();
    void SlotChangeLanguage(int index);
    // The keyboard hook's reports while recording.
    void UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu);

    void on_StartRecord_clicked();
    void on_StopRecord_clicked();
    void on_NewHong_clicked();
    void on_DeleteHong_clicked();
    void on_listWidgetHong_clicked(const QModelIndex& index);
    void on_listWidgetHong_customContextMenuRequested(const QPoint& pos);
    void CreateMewMacro();
    void DeleteMacro();
    void RenameMacro();
    void on_Amend_clicked();
    void on_DeleteKey_clicked();
    void on_ChooseEvent_activated(int index);
    void on_NumberEdit_valueChanged(int arg1);
    void on_listWidgetKey_itemChanged(QListWidgetItem* item);
    void on_Save_clicked();

    // The button page's requests: send the named macro's file to a button
    // slot, and store the macro a slot of the device image carries as a file.
    void SlotMacroDownLoadData(QString MacroName, int index);
    void SlotButtonToMacro(FlashDataMap DataMap, int KeyNumer);
    void ExPortMacro();
    void InPortMacro();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // What the event list shows; a macro shown again (or another one) gets a
    // new generation, so an edit that waited on a dialog can tell.
    // `edited` marks rows or repeat changed since they were shown or saved.
    struct Shown {
        QString name;
        int generation = 0;
        bool edited = false;
    };

    void setupGroups();
    void setupConnections();
    void setSaveEnabled(bool enabled);
    bool refusesWhileRecording();
    // The notices from ImportRefused on are texts of the macro notice.
    enum class Notice {
        StopRecording, ChooseMacro, KeyLimit, SameName,
        ImportRefused, NameUnsafe, NameTooLong, MacroTooLong, ExportTooLong, FileNotSaved, NotRenamed, NotDeleted,
        MacroNotSaved
    };
    void showNotice(Notice notice);

    // Event list.
    QListWidgetItem* makeItem(const core::MacroRow& row) const;
    static core::MacroRow rowOf(const QListWidgetItem* item);
    macro::MacroEventList eventList() const;
    void showEventList(const macro::MacroEventList& list);
    // Replaces the rows wholesale with those of `name` ("" for none). Every
    // load of a macro goes through here.
    void showMacroRows(const QString& name, const QVector<core::MacroRow>& rows);
    bool stillShown(const Shown& before) const;
    void insertRows(int addedKeys, const std::function<void(macro::MacroEventList&)>& edit);
    void insertKeyRow(bool release);
    void enterDelay(int row);
    void amendKeyRow(int row);
    void AddKeyItem(const core::MacroRow& row);
    void AddDelayItem(const core::MacroRow& row);
    int repeatCode() const;
    void showRepeat(int code);

    // Macro files and list.
    void LoadMacroList();
    void ReadMacroFile();
    QListWidgetItem* findMacroEntry(const QString& name) const;
    bool nameTaken(const QString& name) const;

    // Device records and export files.
    void insertMacroEntry(const QString& name);
    void reshowFromDevice(const QString& name, const core::MacroFileContent& content);
    QString askFile(bool save);
    const QIcon& rowIcon(const core::MacroRow& row) const;
    bool exportRows(const QString& name, int* repeat, QVector<core::MacroExportRow>* rows) const;
    bool storeImport(const core::MacroExport& imported);
    static core::MouseNameCodes mouseNamesOfAllLanguages();

    // Recording.
    void endRecordingLayout();
    void dropTrailingDelayRow();

    std::unique_ptr<MacroForm> m_ui;
    QString MacroPageDir;
    QString MacroFilePath;
    QString PictureDir;
    KeyboardHook* KeyHook = nullptr;
    QButtonGroup* DelayGroup = nullptr;
    QButtonGroup* RepeatGroup = nullptr;
    QElapsedTimer EventTimer;
    macro::MacroRecorder m_recorder;
    bool EventsChanged = false;
    bool RepeatChanged = false;
    Shown m_shown;
    QIcon m_pressIcon;
    QIcon m_releaseIcon;
    QIcon m_delayIcon;
    QString ExportActionText;
    QString RenameActionText;
    QString DeleteActionText;
    QString NewActionText;
    QString ImportActionText;
    QString MacroRealText;
};
