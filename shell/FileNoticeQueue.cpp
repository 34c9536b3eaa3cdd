#include "shell/FileNoticeQueue.h"

#include "core/AppPaths.h"
#include "core/EventWait.h"
#include "core/FileNameCodec.h"
#include "dialogs/UpDateWarning.h"
#include "shell/common/LanguageFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QToolButton>

#include <utility>

namespace shell {

namespace {

// Nothing tells when a modal dialog or a wait is over; a look this often costs nothing meanwhile.
constexpr int kRetryMs = 100;

// text holds %1 .. %n for the n items of args; without them (no language file) the built-in
// English fallback is said instead.
void say(UpDateWarning& notice, QString text, const QString& fallback, const QStringList& args)
{
    if (!text.contains(QStringLiteral("%%1").arg(args.size()))) {
        text = fallback;
        notice.okButton()->setText(QStringLiteral("OK"));
    }
    QStringList names;
    for (const QString& arg : args)
        names << core::readableFileName(arg);  // a byte that is no text shows as a letter
    notice.SetText(notice.withNames(text, names));
}

} // namespace

FileNoticeQueue::FileNoticeQueue(QWidget* reference)
    : QObject(reference)
    , m_reference(reference)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &FileNoticeQueue::showDue);
}

void FileNoticeQueue::tellSetAside(const QVector<core::SetAsideStore>& stores)
{
    if (stores.isEmpty())
        return;
    // Joined into the notice of stores set aside that shows: never a second notice over it.
    if (m_open && !m_shownStores.isEmpty()) {
        m_shownStores += stores;
        fill(*m_open);
        return;
    }
    m_dueStores += stores;
    showDue();
}

void FileNoticeQueue::tellUnsavedWrite(const QString& path)
{
    m_dueWrite = path;
    showDue();
}

void FileNoticeQueue::stop()
{
    m_stopped = true;
    m_retry.stop();
}

bool FileNoticeQueue::mustWait() const
{
    return QApplication::activeModalWidget() || QApplication::activePopupWidget() || core::eventWaitRunning();
}

// Stores set aside first: a write that failed is told after them, as at start-up.
void FileNoticeQueue::showDue()
{
    // With a notice open, what is due follows once it has closed (below).
    if (m_open)
        return;
    while (!m_stopped && (!m_dueStores.isEmpty() || !m_dueWrite.isEmpty())) {
        if (mustWait()) {
            m_retry.start();
            return;
        }
        UpDateWarning notice(nullptr);
        notice.fitStartUpNotice(!QFileInfo(AppDir() + QStringLiteral("/Picture")).isDir());
        m_shownStores = std::exchange(m_dueStores, {});
        m_shownWrite = m_shownStores.isEmpty() ? std::exchange(m_dueWrite, {}) : QString();
        fill(notice);
        notice.placeOver(m_reference, 0, 0);
        m_open = &notice;
        notice.exec();
        m_open = nullptr;
    }
}

// A damaged store was moved aside, and the user's language, macro list and other choices are
// back to their defaults; or a file the program writes on its own behalf (device cache, update
// log, stores) could not be written.
void FileNoticeQueue::fill(UpDateWarning& notice) const
{
    // Read now, as every notice reads it when it opens: a language edited into Macro.ini by hand
    // counts, and with Macro.ini set aside the program speaks its default language.
    const int language = LanguageFile::currentIndex();
    notice.SlotChangeLanguage(language);
    const LanguageElement texts = LanguageFile::cachedElement(language, QStringLiteral("DialogMain"));
    if (m_shownStores.isEmpty()) {
        say(notice, texts.text(QStringLiteral("NotSaved")),
            QStringLiteral("A file the program keeps could not be written: %1. Is the disk full or read-only? "
                           "The program goes on without it."),
            {QFileInfo(m_shownWrite).fileName()});
        return;
    }
    QStringList names;
    QStringList kept;
    for (const core::SetAsideStore& store : m_shownStores) {
        names << QFileInfo(store.path).fileName();
        kept << QFileInfo(store.keptAs).fileName();
    }
    say(notice, texts.text(QStringLiteral("SettingsDamaged")),
        QStringLiteral("Damaged settings file: %1. It was kept as %2; the default settings are used."),
        {names.join(QStringLiteral(", ")), kept.join(QStringLiteral(", "))});
}

} // namespace shell
