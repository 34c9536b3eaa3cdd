#include "core/PostMsg.h"

#include <QCoreApplication>
#include <QThread>

void RegisterBusTypes()
{
    // Registering twice is harmless; the ids stay the same.
    qRegisterMetaType<FlashDataMap>("FlashDataMap");
    qRegisterMetaType<DeviceAllInfo>("DeviceAllInfo");
    qRegisterMetaType<DongleRGB*>("DongleRGB*");
}

PostMsg* PostMsg::instance()
{
    static PostMsg* bus = [] {
        RegisterBusTypes();
        return new PostMsg;
    }();
    return bus;
}

namespace {
// A blocking queued emit from the GUI thread would wait for itself forever.
void assertOffGuiThread()
{
    Q_ASSERT_X(!QCoreApplication::instance() || QThread::currentThread() != QCoreApplication::instance()->thread(),
               "PostMsg", "blocking bus signal emitted on the GUI thread");
}
} // namespace

void PostMsg::EmitChangeMainDialog(int index)
{
    emit SigChangeMainDialog(index);
}

void PostMsg::EmitChangeSize(int index)
{
    emit SigChangeSize(index);
}

void PostMsg::EmitUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable)
{
    assertOffGuiThread();
    emit SigUpDataConfigUI(ToTalItem, SelectIndex, ItemEnable);
}

void PostMsg::EmitUpDataLightUIButton(const FlashDataMap& DataMap)
{
    assertOffGuiThread();
    emit SigUpDataLightUIButton(DataMap);
}

void PostMsg::EmitUpDataLightLight(const FlashDataMap& DataMap)
{
    emit SigUpDataLightLight(DataMap);
}

void PostMsg::EmitUpDataLightSensor(const FlashDataMap& DataMap)
{
    assertOffGuiThread();
    emit SigUpDataLightSensor(DataMap);
}

void PostMsg::EmitUpDataLightUIA(const FlashDataMap& DataMap)
{
    emit SigUpDataLightUIA(DataMap);
}

void PostMsg::EmitUpDataSensorUIB(const FlashDataMap& DataMap)
{
    emit SigUpDataSensorUIB(DataMap);
}

void PostMsg::EmitUpDataButtonUIC(const FlashDataMap& DataMap)
{
    emit SigUpDataButtonUIC(DataMap);
}

void PostMsg::EmitButtonToMacro(const FlashDataMap& DataMap, int KeyNumer)
{
    emit SigButtonToMacro(DataMap, KeyNumer);
}

void PostMsg::EmitSelectMouseInfo(const DeviceAllInfo& SelectInfo)
{
    emit SigSelectMouseInfo(SelectInfo);
}

void PostMsg::EmitMouseOffLineo(int index)
{
    emit SigMouseOffLineo(index);
}

void PostMsg::EmitMainPageChange()
{
    emit SigMainPageChange();
}

void PostMsg::EmitSecondPageChange()
{
    emit SigSecondPageChange();
}

void PostMsg::EmitUpPageLight()
{
    emit SigUpPageLight();
}

void PostMsg::EmitAddMacroButton()
{
    emit SigAddMacroButton();
}

void PostMsg::EmitDeleteMacroButton(const QString& MacroName)
{
    emit SigDeleteMacroButton(MacroName);
}

void PostMsg::EmitMacroDownLoadData(const QString& MacroName, int index)
{
    emit SigMacroDownLoadData(MacroName, index);
}

void PostMsg::EmitUpDataMacro(const QString& MacroName, int index)
{
    emit SigUpDataMacro(MacroName, index);
}

void PostMsg::EmitUpDataParam(int index)
{
    emit SigUpDataParam(index);
}

void PostMsg::EmitUpDataReportRate(int index)
{
    assertOffGuiThread();
    emit SigUpDataReportRate(index);
}

void PostMsg::EmitUpDataDPI(int index)
{
    assertOffGuiThread();
    emit SigUpDataDPI(index);
}

void PostMsg::EmitUpDataDPILed(const FlashDataMap& DataMap)
{
    assertOffGuiThread();
    emit SigUpDataDPILed(DataMap);
}

void PostMsg::EmitTimerStop()
{
    emit SigTimerStop();
}

void PostMsg::EmitButtonEnable(int index)
{
    emit SigButtonEnable(index);
}

void PostMsg::EmitLabelText(int index, const QString& Text)
{
    emit SigLabelText(index, Text);
}

void PostMsg::EmitLabelTextB(const QString& TextA, const QString& Text)
{
    emit SigLabelTextB(TextA, Text);
}

void PostMsg::EmitCloseUpdate()
{
    emit SigCloseUpdate();
}

void PostMsg::EmitProgress(int index, int value)
{
    emit SigProgress(index, value);
}

void PostMsg::EmitBattery(bool IsCharg, int Number, bool IsText)
{
    assertOffGuiThread();
    emit SigBattery(IsCharg, Number, IsText);
}

void PostMsg::EmitAutoRepair(int index)
{
    emit SigAutoRepair(index);
}

void PostMsg::EmitAutoRepairProgress(int index)
{
    emit SigAutoRepairProgress(index);
}

void PostMsg::EmitChangeLanguage(int index)
{
    emit SigChangeLanguage(index);
}

void PostMsg::EmitLanguageSameA(int index)
{
    emit SigLanguageSameA(index);
}

void PostMsg::EmitLanguageSameB(int index)
{
    emit SigLanguageSameB(index);
}

void PostMsg::EmitCloseOffOnline()
{
    emit SigCloseOffOnline();
}

void PostMsg::EmitSetMacroPage()
{
    emit SigSetMacroPage();
}

void PostMsg::EmitStartRecord(int index)
{
    emit SigStartRecord(index);
}

void PostMsg::EmitUpDateButton(bool IsHide)
{
    emit SigUpDateButton(IsHide);
}

void PostMsg::EmitMacroRename(const QString& Rename, const QString& Name)
{
    emit SigMacroRename(Rename, Name);
}

void PostMsg::EmitSetver(int index)
{
    emit SigSetver(index);
}

void PostMsg::EmitCloseProgress()
{
    emit SigCloseProgress();
}

void PostMsg::EmitRGBValue(DongleRGB* Rgb)
{
    assertOffGuiThread();
    emit SigRGBValue(Rgb);
}

void PostMsg::EmitLongRangeMode(bool Select)
{
    assertOffGuiThread();
    emit SigLongRangeMode(Select);
}

void PostMsg::EmitForm()
{
    assertOffGuiThread();
    emit SigForm();
}

void PostMsg::EmitFormB()
{
    emit SigFormB();
}

void PostMsg::EmitEnterKey()
{
    emit SigEnterKey();
}

void PostMsg::EmitFormReset()
{
    assertOffGuiThread();
    emit SigFormReset();
}

void PostMsg::EmitHideModel(int index)
{
    emit SigHideModel(index);
}

void PostMsg::EmitContinue(int index)
{
    emit SigContinue(index);
}

void PostMsg::EmitMouseIndex(int index)
{
    emit SigMouseIndex(index);
}

void PostMsg::EmitUpdateStart()
{
    emit SigUpdateStart();
}

void PostMsg::EmitCheckUpdate()
{
    emit SigCheckUpdate();
}

void PostMsg::EmitRepairCheckUpdate()
{
    emit SigRepairCheckUpdate();
}

void PostMsg::EmitSetNewVer()
{
    emit SigSetNewVer();
}

void PostMsg::EmitLightToFrom(int index)
{
    emit SigLightToFrom(index);
}
