#include "macro/Macro.h"

#include "core/PostMsg.h"
#include "core/ProcessState.h"

Macro::Macro(QWidget* parent)
    : QWidget(parent)
{
    connect(PostMsg::instance(), &PostMsg::SigSetMacroPage, this, &Macro::SlotSetMacroPage);
}

void Macro::SlotSetMacroPage()
{
    MacroRecording = false;
    PostMsg::instance()->EmitStartRecord(1);
}
