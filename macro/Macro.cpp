#include "macro/Macro.h"

#include "core/PostMsg.h"

bool MacroRecording = false;

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
