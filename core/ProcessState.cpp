#include "core/ProcessState.h"

QString LeftButtonName;
QString RightButtonName;
QString MiddleButtonName;
QString ForwardButtonName;
QString BackButtonName;

bool MacroRecording = false;
