#pragma once

#include <QEvent>
#include <QString>
#include <Qt>

class QWidget;

// Key input as the platform delivers it: to the top-level window of a widget,
// which passes it on to the focused widget. The keyboard capture listens
// there, so QTest's key functions (which send straight to a widget) do not
// reach it. The widget's window must exist (shown).
namespace keytest {

struct NativeKey {
    int qtKey;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    quint32 scanCode = 0;  // X keycode
    quint32 keySym = 0;    // X key symbol
    QString text;
};

void sendKey(QWidget* widget, QEvent::Type type, const NativeKey& key, bool autoRepeat = false);
// Press and release.
void tapKey(QWidget* widget, const NativeKey& key);

// Common keys with the native codes an X11 desktop gives them.
NativeKey letter(char upper);
NativeKey leftShift();
NativeKey rightShift();
NativeKey leftAlt();
NativeKey rightAlt();
NativeKey space();
NativeKey escape();

} // namespace keytest
