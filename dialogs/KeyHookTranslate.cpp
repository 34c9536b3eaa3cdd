#include "dialogs/KeyHookTranslate.h"

#include <iterator>

namespace dialogs {
namespace {

struct KeyPair {
    int qtKey;
    int virtualKey;
};

// Keys whose code does not depend on the keypad or on a side.
constexpr KeyPair kPlainKeys[] = {
    {Qt::Key_Return, 13},       {Qt::Key_Enter, 13},        {Qt::Key_Escape, 27},       {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},           {Qt::Key_Backtab, 9},       {Qt::Key_Space, 32},        {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},  {Qt::Key_Equal, 187},       {Qt::Key_Plus, 187},        {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},   {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221}, {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},         {Qt::Key_Semicolon, 186},   {Qt::Key_Colon, 186},       {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},    {Qt::Key_QuoteLeft, 192},   {Qt::Key_AsciiTilde, 192},  {Qt::Key_Dead_Grave, 192},
    {Qt::Key_Comma, 188},       {Qt::Key_Less, 188},        {Qt::Key_Period, 190},      {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},       {Qt::Key_Question, 191},    {Qt::Key_CapsLock, 20},     {Qt::Key_Print, 44},
    {Qt::Key_SysReq, 44},       {Qt::Key_ScrollLock, 145},  {Qt::Key_Pause, 19},        {Qt::Key_Insert, 45},
    {Qt::Key_Home, 36},         {Qt::Key_PageUp, 33},       {Qt::Key_Delete, 46},       {Qt::Key_End, 35},
    {Qt::Key_PageDown, 34},     {Qt::Key_Right, 39},        {Qt::Key_Left, 37},         {Qt::Key_Down, 40},
    {Qt::Key_Up, 38},           {Qt::Key_NumLock, 144},     {Qt::Key_Clear, 12},        {Qt::Key_Menu, 93},
    // Shifted digits of a US layout type on the digit keys.
    {Qt::Key_Exclam, 49},       {Qt::Key_At, 50},           {Qt::Key_NumberSign, 51},   {Qt::Key_Dollar, 52},
    {Qt::Key_Percent, 53},      {Qt::Key_AsciiCircum, 54},  {Qt::Key_Ampersand, 55},    {Qt::Key_Asterisk, 56},
    {Qt::Key_ParenLeft, 57},    {Qt::Key_ParenRight, 48},
};

constexpr KeyPair kKeypadKeys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107}, {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
};

// A modifier key: its Qt keys, its left and right codes, and how the platform
// names either side (X key symbols and X keycodes).
struct SideKey {
    int qtKey;
    int leftCode, rightCode;
    quint32 leftSym, rightSym;
    quint32 leftScan, rightScan;
};

constexpr SideKey kSideKeys[] = {
    {Qt::Key_Shift, 160, 161, 0xffe1, 0xffe2, 50, 62},
    {Qt::Key_Control, 162, 163, 0xffe3, 0xffe4, 37, 105},
    {Qt::Key_Alt, 164, 165, 0xffe9, 0xffea, 64, 108},
    {Qt::Key_Meta, 91, 92, 0xffe7, 0xffe8, 133, 134},
    {Qt::Key_Super_L, 91, 92, 0xffeb, 0xffec, 133, 134},
    {Qt::Key_Super_R, 91, 92, 0xffeb, 0xffec, 133, 134},
};

constexpr quint32 kSymAltGr = 0xfe03;
constexpr quint32 kSymSuperL = 0xffeb;
constexpr quint32 kSymSuperR = 0xffec;

int find(const KeyPair* begin, const KeyPair* end, int qtKey)
{
    for (const KeyPair* pair = begin; pair != end; ++pair) {
        if (pair->qtKey == qtKey)
            return pair->virtualKey;
    }
    return -1;
}

int sideKeyCode(const SideKey& key, const KeyFacts& facts)
{
    const quint32 sym = facts.nativeVirtualKey;
    const quint32 scan = facts.nativeScanCode;
    if (sym == key.rightSym || (key.qtKey == Qt::Key_Meta && sym == kSymSuperR))
        return key.rightCode;
    if (sym == key.leftSym || (key.qtKey == Qt::Key_Meta && sym == kSymSuperL))
        return key.leftCode;
    if (key.qtKey == Qt::Key_Super_R || scan == key.rightScan)
        return key.rightCode;
    return key.leftCode;
}

} // namespace

int VirtualKeyFromKey(const KeyFacts& facts)
{
    const int key = facts.qtKey;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;  // Qt's letter codes are the virtual-key codes
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return facts.modifiers.testFlag(Qt::KeypadModifier) ? 96 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    if (key == Qt::Key_AltGr || facts.nativeVirtualKey == kSymAltGr)
        return 165;
    for (const SideKey& side : kSideKeys) {
        if (side.qtKey == key)
            return sideKeyCode(side, facts);
    }
    if (facts.modifiers.testFlag(Qt::KeypadModifier)) {
        if (const int code = find(std::begin(kKeypadKeys), std::end(kKeypadKeys), key); code >= 0)
            return code;
    }
    if (const int code = find(std::begin(kPlainKeys), std::end(kPlainKeys), key); code >= 0)
        return code;
    return kUnknownVirtualKey;
}

bool IsSystemKeyEvent(const KeyFacts& facts)
{
    if (facts.modifiers.testFlag(Qt::ControlModifier))
        return false;
    return facts.qtKey == Qt::Key_Alt || facts.qtKey == Qt::Key_AltGr || facts.qtKey == Qt::Key_F10
        || facts.modifiers.testFlag(Qt::AltModifier);
}

} // namespace dialogs
