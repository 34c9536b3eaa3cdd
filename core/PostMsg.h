#pragma once

#include "core/DeviceAllInfo.h"
#include "core/DongleRGB.h"
#include "core/FlashDataMap.h"

#include <QObject>
#include <QString>

// Registers every type that crosses a thread on the bus (FlashDataMap,
// DeviceAllInfo, DongleRGB*). Idempotent; called by main, by every test and
// by PostMsg::instance().
void RegisterBusTypes();

// The process-wide signal bus. Windows, the device worker and the device
// library's callbacks talk only through it: they emit through the Emit*
// methods and connect their slots to the signals in their constructors.
//
// The signals marked "blocking" are connected with Qt::BlockingQueuedConnection
// by their receivers; their Emit* methods must never run on the GUI thread
// (the emitter would wait on itself) and assert so.
class PostMsg final : public QObject
{
    Q_OBJECT

public:
    // Made on first call, on the GUI thread, before any other thread exists;
    // never deleted.
    static PostMsg* instance();

    void EmitChangeMainDialog(int index);
    void EmitChangeSize(int index);
    void EmitUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable);   // blocking
    void EmitUpDataLightUIButton(const FlashDataMap& DataMap);                  // blocking
    void EmitUpDataLightLight(const FlashDataMap& DataMap);
    void EmitUpDataLightSensor(const FlashDataMap& DataMap);                    // blocking
    void EmitUpDataLightUIA(const FlashDataMap& DataMap);
    void EmitUpDataSensorUIB(const FlashDataMap& DataMap);
    void EmitUpDataButtonUIC(const FlashDataMap& DataMap);
    void EmitButtonToMacro(const FlashDataMap& DataMap, int KeyNumer);
    void EmitSelectMouseInfo(const DeviceAllInfo& SelectInfo);
    void EmitMouseOffLineo(int index);
    void EmitMainPageChange();
    void EmitSecondPageChange();
    void EmitUpPageLight();
    void EmitAddMacroButton();
    void EmitDeleteMacroButton(const QString& MacroName);
    void EmitMacroDownLoadData(const QString& MacroName, int index);
    void EmitUpDataMacro(const QString& MacroName, int index);
    void EmitUpDataParam(int index);
    void EmitUpDataReportRate(int index);                                       // blocking
    void EmitUpDataDPI(int index);                                              // blocking
    void EmitUpDataDPILed(const FlashDataMap& DataMap);                         // blocking
    void EmitTimerStop();
    void EmitButtonEnable(int index);
    void EmitLabelText(int index, const QString& Text);
    void EmitLabelTextB(const QString& TextA, const QString& Text);
    void EmitCloseUpdate();
    void EmitProgress(int index, int value);
    void EmitBattery(bool IsCharg, int Number, bool IsText);                    // blocking
    void EmitAutoRepair(int index);
    void EmitAutoRepairProgress(int index);
    void EmitChangeLanguage(int index);
    void EmitLanguageSameA(int index);
    void EmitLanguageSameB(int index);
    void EmitCloseOffOnline();
    void EmitSetMacroPage();
    void EmitStartRecord(int index);
    void EmitUpDateButton(bool IsHide);
    void EmitMacroRename(const QString& Rename, const QString& Name);
    void EmitSetver(int index);
    void EmitCloseProgress();
    void EmitRGBValue(DongleRGB* Rgb);                                          // blocking
    void EmitLongRangeMode(bool Select);                                        // blocking
    void EmitForm();                                                            // blocking
    void EmitFormB();
    void EmitEnterKey();
    void EmitFormReset();                                                       // blocking
    void EmitHideModel(int index);
    void EmitContinue(int index);
    void EmitMouseIndex(int index);
    void EmitUpdateStart();
    void EmitCheckUpdate();
    void EmitRepairCheckUpdate();
    void EmitSetNewVer();
    void EmitLightToFrom(int index);

signals:
    void SigChangeMainDialog(int index);
    void SigChangeSize(int index);
    void SigUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable);
    void SigUpDataLightUIButton(FlashDataMap DataMap);
    void SigUpDataLightLight(FlashDataMap DataMap);
    void SigUpDataLightSensor(FlashDataMap DataMap);
    void SigUpDataLightUIA(FlashDataMap DataMap);
    void SigUpDataSensorUIB(FlashDataMap DataMap);
    void SigUpDataButtonUIC(FlashDataMap DataMap);
    void SigButtonToMacro(FlashDataMap DataMap, int KeyNumer);
    void SigSelectMouseInfo(DeviceAllInfo SelectInfo);
    void SigMouseOffLineo(int index);
    void SigMainPageChange();
    void SigSecondPageChange();
    void SigUpPageLight();
    void SigAddMacroButton();
    void SigDeleteMacroButton(QString MacroName);
    void SigMacroDownLoadData(QString MacroName, int index);
    void SigUpDataMacro(QString MacroName, int index);
    void SigUpDataParam(int index);
    void SigUpDataReportRate(int index);
    void SigUpDataDPI(int index);
    void SigUpDataDPILed(FlashDataMap DataMap);
    void SigTimerStop();
    void SigButtonEnable(int index);
    void SigLabelText(int index, QString Text);
    void SigLabelTextB(QString TextA, QString Text);
    void SigCloseUpdate();
    void SigProgress(int index, int value);
    void SigBattery(bool IsCharg, int Number, bool IsText);
    void SigAutoRepair(int index);
    void SigAutoRepairProgress(int index);
    void SigChangeLanguage(int index);
    void SigLanguageSameA(int index);
    void SigLanguageSameB(int index);
    void SigCloseOffOnline();
    void SigSetMacroPage();
    void SigStartRecord(int index);
    void SigUpDateButton(bool IsHide);
    void SigMacroRename(QString Rename, QString Name);
    void SigSetver(int index);
    void SigCloseProgress();
    void SigRGBValue(DongleRGB* Rgb);
    void SigLongRangeMode(bool Select);
    void SigForm();
    void SigFormB();
    void SigEnterKey();
    void SigFormReset();
    void SigHideModel(int index);
    void SigContinue(int index);
    void SigMouseIndex(int index);
    void SigUpdateStart();
    void SigCheckUpdate();
    void SigRepairCheckUpdate();
    void SigSetNewVer();
    void SigLightToFrom(int index);

private:
    PostMsg() = default;
};
