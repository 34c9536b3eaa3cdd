#include "buttons/Buttoninterface.h"

#include "buttons/ButtonForm.h"
#include "buttons/ButtonLabels.h"
#include "core/DeviceParam.h"
#include "core/DpiCodes.h"
#include "core/ProcessState.h"
#include "core/SensorDefines.h"
#include "dialogs/LeftButtonOnly.h"
#include "dialogs/MakeMacro.h"

#include <QButtonGroup>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolButton>

#include <iterator>

namespace {

// The menu lists scroll in steps of this many pixels.
constexpr int kScrollStep = 15;
constexpr int kSelectorRows = 6;
constexpr int kKeysType = 5;
constexpr int kMacroType = 6;
constexpr int kDpiLockType = 10;
constexpr int kMultimediaListStep = 16;
constexpr int kKeyComboListStep = 8;
// The selector row whose multimedia list has the browser back and forward
// keys the other way round.
constexpr int kSwappedBrowserRow = 1;

// Where the menu opens for a function: the function-list entry, the page of
// the choice panel, the sub-choice and the function list's scroll step. The
// first row whose type matches and whose param1 matches (or is -1) holds; a
// function without a row leaves the menu as it is. Key records (type 5) are
// told apart by their first event instead.
struct MenuRow {
    int type;
    int param1;
    const char* entry;
    const char* page;
    const char* choice;
    int step;
};
constexpr MenuRow kMenuRows[] = {
    {0, -1, "DPI_5", "page_9", nullptr, 9},
    {1, 1, "LeftKey_3", "page_9", nullptr, 0},
    {1, 2, "RightKey_3", "page_9", nullptr, 1},
    {1, 4, "MidKey", "page_9", nullptr, 2},
    {1, 8, "BackKey_2", "page_9", nullptr, 3},
    {1, 16, "ForWardKey", "page_9", nullptr, 4},
    {1, -1, nullptr, "page_9", nullptr, 0},
    {2, 1, "DPI_7", "page_7", "VolumeUp_8", 13},
    {2, 2, "DPI_7", "page_7", "VolumeUp_9", 13},
    {2, 3, "DPI_7", "page_7", "VolumeUp_10", 13},
    {2, -1, "DPI_7", "page_7", nullptr, 13},
    {3, 1, "DPI_11", "page_4", "VolumeUp_2", 10},
    {3, 2, "DPI_11", "page_4", "VolumeDown_2", 10},
    {3, -1, "DPI_11", "page_4", nullptr, 10},
    {4, -1, "DPI_6", "page_9", nullptr, 7},
    {kMacroType, -1, "DPI_10", "page_5", nullptr, 15},
    {7, -1, "DPI_2", "page_9", nullptr, 5},
    {8, 0, "DPI_9", "page_6", "VolumeUp_4", 12},
    {8, 1, "DPI_9", "page_6", "VolumeUp_5", 12},
    {8, 3, "DPI_9", "page_6", "VolumeUp_6", 12},
    {8, 4, "DPI_9", "page_6", "VolumeUp_7", 12},
    {8, -1, "DPI_9", "page_6", nullptr, 12},
    {9, -1, "DPI_3", "page_9", nullptr, 6},
    {kDpiLockType, -1, "DPI_4", "page_8", nullptr, 15},
    {11, 1, "DPI_13", "page_10", "VolumeUp_14", 10},
    {11, 2, "DPI_13", "page_10", "VolumeDown_14", 10},
    {11, -1, "DPI_13", "page_10", nullptr, 10},
};

const MenuRow* menuRow(int type, int param1)
{
    for (const MenuRow& row : kMenuRows) {
        if (row.type == type && (row.param1 < 0 || row.param1 == param1))
            return &row;
    }
    return nullptr;
}

// Function-list entries that only switch the choice panel.
struct PageSwitch {
    const char* entry;
    const char* page;
};
constexpr PageSwitch kPageSwitches[] = {{"DPI_12", "page_3"}, {"DPI_9", "page_6"},  {"DPI_4", "page_8"},
                                        {"DPI_11", "page_4"}, {"DPI_7", "page_7"}, {"DPI_13", "page_10"}};

constexpr const char* kNumberButtons[kSelectorRows] = {"Number1", "Number2", "Number3",
                                                       "Number4", "Number5", "Number6"};

const char* selectorOfRow(int row)
{
    return buttons::selectorOfSlot(SlotOfPhysicalButton(row));
}

} // namespace

int Buttoninterface::valueAt(const QVector<int>& values, int slot)
{
    return slot >= 0 && slot < values.size() ? values[slot] : -1;
}

void Buttoninterface::connectFunctionMenu()
{
    for (int row = 0; row < kSelectorRows; ++row) {
        connect(button(selectorOfRow(row)), &QToolButton::clicked, this, [this, row] { selectorClicked(row); });
        connect(button(kNumberButtons[row]), &QToolButton::clicked, this, [this, row] { numberClicked(row); });
    }
    for (const PageSwitch& row : kPageSwitches) {
        QWidget* page = ui->menuPage(row.page);
        connect(button(row.entry), &QToolButton::clicked, this,
                [this, page] { ui->stackedWidget_2->setCurrentWidget(page); });
    }
    connect(button("DPI_10"), &QToolButton::clicked, this, [this] { on_DPI_10_clicked(); });
    connect(ui->stackedWidget, &QStackedWidget::currentChanged, this,
            &Buttoninterface::on_stackedWidget_currentChanged);
}

int Buttoninterface::selectedSlot() const
{
    for (int row = 0; row < kSelectorRows; ++row) {
        if (button(selectorOfRow(row))->isChecked())
            return SlotOfPhysicalButton(row);
    }
    return -1;
}

// The guard goes by the functions the page holds, not by selector texts: a
// label can be stale or renamed, a function code cannot.
int Buttoninterface::onlyLeftClickSlot() const
{
    int found = -1;
    int count = 0;
    for (int slot = 0; slot < kSelectorRows; ++slot) {
        if (valueAt(ButtonType, slot) == 1 && valueAt(ButtonParam1, slot) == 1) {
            found = slot;
            ++count;
        }
    }
    return count == 1 ? found : -1;
}

bool Buttoninterface::refusesLeftTakeover(int slot, int type, int param1)
{
    if ((type == 1 && param1 == 1) || slot < 0 || slot != onlyLeftClickSlot())
        return false;
    deselect();
    LeftButtonOnly notice;
    notice.placeOver(this, -50, -70);
    notice.exec();
    return true;
}

void Buttoninterface::setListStep(const char* area, int step)
{
    ui->scrollArea(area)->verticalScrollBar()->setSliderPosition(kScrollStep * step);
}

void Buttoninterface::selectorClicked(int row)
{
    const int slot = SlotOfPhysicalButton(row);
    // Selecting the only left-click button is refused at once: no menu may
    // offer to take the left click away from it.
    if (refusesLeftTakeover(slot, -1, -1))
        return;
    ui->scrollArea_11->verticalScrollBar()->setStyleSheet(QStringLiteral("QScrollBar {width:0px;}"));
    const int type = valueAt(ButtonType, slot);
    const int param1 = valueAt(ButtonParam1, slot);
    if (type == kKeysType) {
        openOnKeys(row, slot);
        return;
    }
    const MenuRow* open = menuRow(type, param1);
    int dpiStep = 0;
    if (open) {
        ui->stackedWidget->setCurrentWidget(ui->page_2);
        ui->stackedWidget_2->setCurrentWidget(ui->menuPage(open->page));
        for (const char* name : {open->entry, open->choice}) {
            if (name)
                button(name)->setChecked(true);
        }
        if (type == kMacroType)
            checkMacroButtons(button(selectorOfRow(row))->text());
        if (type == kDpiLockType)
            dpiStep = checkDpiChoice(param1);
    }
    setListStep("scrollArea_10", dpiStep);
    setListStep("scrollArea_4", open ? open->step : 0);
}

void Buttoninterface::openOnKeys(int row, int slot)
{
    const KeyEvent first = CurrentFlashDataCopy().KeyRecords[slot].Events[0];
    const int index = first.EventType == 2 ? buttons::consumerIndex(quint16(first.Code)) : -1;
    ui->stackedWidget->setCurrentWidget(ui->page_2);
    if (index < 0) {
        ui->stackedWidget_2->setCurrentWidget(ui->page_9);
        button("DPI_8")->setChecked(true);
        setListStep("scrollArea_3", 0);
        setListStep("scrollArea_4", kKeyComboListStep);
        return;
    }
    int step = index;
    const int usage = buttons::kConsumerKeys[index].usage;
    if (row == kSwappedBrowserRow && (usage == 0x224 || usage == 0x225))
        step = usage == 0x224 ? index + 1 : index - 1;
    button(buttons::kConsumerKeys[index].button)->setChecked(true);
    button("DPI_12")->setChecked(true);
    ui->stackedWidget_2->setCurrentWidget(ui->menuPage("page_3"));
    setListStep("scrollArea_3", step);
    setListStep("scrollArea_4", kMultimediaListStep);
}

// Every macro button named like the selector is checked; the last one stays
// checked and scrolled to.
void Buttoninterface::checkMacroButtons(const QString& selectorText)
{
    QString shown = selectorText;
    shown.remove(QChar(0));
    for (int j = 0; j < MacroButtonList.size(); ++j) {
        if (MacroText + MacroButtonList[j]->text() != shown)
            continue;
        MacroButtonList[j]->setChecked(true);
        ui->scrollArea_7->verticalScrollBar()->setSliderPosition(kScrollStep * (j + 1));
    }
}

int Buttoninterface::checkDpiChoice(int code)
{
    const int dpi = core::SensorCodeToDpi(core::SharedSensorDefines(), m_sensorName, code);
    for (int k = 0; k < int(std::size(buttons::kDpiLockChoices)); ++k) {
        if (buttons::kDpiLockChoices[k].dpi == dpi) {
            button(buttons::kDpiLockChoices[k].button)->setChecked(true);
            return k;
        }
    }
    return 0;
}

void Buttoninterface::numberClicked(int row)
{
    // The offline notice is the only effect of the answer: the page works
    // from its own copy of the functions.
    CheckDeviceOnLine();
    button(selectorOfRow(row))->setChecked(true);
}

void Buttoninterface::on_DPI_10_clicked()
{
    if (!MacroButtonList.isEmpty()) {
        ui->stackedWidget_2->setCurrentWidget(ui->page_5);
        return;
    }
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    MakeMacro notice;
    notice.placeOver(this, -50, -70);
    notice.exec();
}

void Buttoninterface::on_stackedWidget_currentChanged(int index)
{
    if (index == 0)
        return;
    FunctionGroup->setExclusive(false);
    FunctionGroup->setExclusive(true);
}
