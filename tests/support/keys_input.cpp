#include "keys_input.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace keytest {

void sendKey(QWidget* widget, QEvent::Type type, const NativeKey& key, bool autoRepeat)
{
    QWindow* window = widget->window()->windowHandle();
    Q_ASSERT_X(window, "keytest::sendKey", "the widget's window is not created; show it first");
    QKeyEvent event(type, key.qtKey, key.modifiers, key.scanCode, key.keySym, 0, key.text, autoRepeat);
    QCoreApplication::sendEvent(window, &event);
}

void tapKey(QWidget* widget, const NativeKey& key)
{
    sendKey(widget, QEvent::KeyPress, key);
    sendKey(widget, QEvent::KeyRelease, key);
}

NativeKey letter(char upper)
{
    return {Qt::Key_A + (upper - 'A'), Qt::NoModifier, 0, quint32(upper - 'A' + 'a'),
            QString(QChar(upper - 'A' + 'a'))};
}

NativeKey leftShift()
{
    return {Qt::Key_Shift, Qt::NoModifier, 50, 0xffe1, QString()};
}

NativeKey rightShift()
{
    return {Qt::Key_Shift, Qt::NoModifier, 62, 0xffe2, QString()};
}

NativeKey leftAlt()
{
    return {Qt::Key_Alt, Qt::NoModifier, 64, 0xffe9, QString()};
}

NativeKey rightAlt()
{
    return {Qt::Key_Alt, Qt::NoModifier, 108, 0xffea, QString()};
}

NativeKey space()
{
    return {Qt::Key_Space, Qt::NoModifier, 65, 0x20, QStringLiteral(" ")};
}

NativeKey escape()
{
    return {Qt::Key_Escape, Qt::NoModifier, 9, 0xff1b, QString()};
}

} // namespace keytest
