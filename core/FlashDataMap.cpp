#include "core/FlashDataMap.h"

#include "core/ProcessState.h"

#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <cstring>

FlashDataMap CurrentFlashData{};

QMutex& FlashDataMutex()
{
    static QMutex mutex;
    return mutex;
}

FlashDataMap CurrentFlashDataCopy()
{
    QMutexLocker locker(&FlashDataMutex());
    return CurrentFlashData;
}

DpiLevelEntry CurrentDpiLevelEntry(int stage)
{
    QMutexLocker locker(&FlashDataMutex());
    return CurrentFlashData.DpiLevel[stage];
}

void StoreCurrentFlashData(const FlashDataMap& image)
{
    QMutexLocker locker(&FlashDataMutex());
    CurrentFlashData = image;
}

FlashDataMap EmptyFlashDataMap()
{
    FlashDataMap image;
    std::memset(&image, 0, sizeof image);
    return image;
}

QByteArray FlashDataToBytes(const FlashDataMap& image)
{
    return QByteArray(reinterpret_cast<const char*>(&image), int(sizeof image));
}

bool FlashDataFromBytes(const QByteArray& bytes, FlashDataMap* image)
{
    if (!image || bytes.size() != int(sizeof(FlashDataMap)))
        return false;
    std::memcpy(image, bytes.constData(), sizeof(FlashDataMap));
    return true;
}

int KeyRecordEventCount(const KeyRecord& record)
{
    return std::min<int>(record.EventCount, kKeyRecordEvents);
}

int MacroRecordEventCount(const MacroRecord& record)
{
    return std::min<int>(record.EventCount, kMacroRecordEvents);
}

int MacroRecordNameLength(const MacroRecord& record)
{
    return std::min<int>(record.NameLength, kMacroNameBytes);
}

QByteArray MacroRecordName(const MacroRecord& record)
{
    return QByteArray(record.Name, MacroRecordNameLength(record));
}

void SetMacroRecordName(MacroRecord& record, const QByteArray& name)
{
    const int length = std::min<int>(name.size(), kMacroNameBytes);
    std::memset(record.Name, 0, sizeof record.Name);
    std::memcpy(record.Name, name.constData(), size_t(length));
    record.NameLength = quint8(length);
}

bool AppendMacroEvent(MacroRecord& record, const KeyEvent& event)
{
    const int count = MacroRecordEventCount(record);
    if (count >= kMacroRecordEvents)
        return false;
    record.Events[count] = event;
    record.EventCount = quint8(count + 1);
    return true;
}

bool AppendKeyEvent(KeyRecord& record, const KeyEvent& event)
{
    const int count = KeyRecordEventCount(record);
    if (count >= kKeyRecordEvents)
        return false;
    record.Events[count] = event;
    record.EventCount = quint8(count + 1);
    return true;
}

KeyEvent MakeKeyEvent(quint8 release, quint8 eventType, quint16 code, quint32 delayMs)
{
    KeyEvent event{};
    event.Release = release;
    event.EventType = eventType;
    event.Code = code;
    event.DelayMs = delayMs;
    return event;
}

int SlotOfPhysicalButton(int button)
{
    static constexpr int kSlots[] = {0, 1, 2, 4, 3, 5};
    if (button < 0 || button >= int(std::size(kSlots)))
        return -1;
    return kSlots[button];
}
