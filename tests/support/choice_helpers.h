#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;
class QWidget;

// Helpers of the device choice page and pairing tests.
namespace choicetest {

// A private program folder (below HOME) holding the shipped Config.ini and
// language files and an empty "/bin", made the program folder through
// TALVO_APP_DIR. Call before anything reads Config.ini.
QString prepareAppDir();

// Loads simulator devices from INI text and forgets any state an earlier
// scenario of the same test left (pairings, flash). Empty text: the default
// devices. False on a bad scenario.
bool loadScenario(const QString& ini);

// `count` unpaired receivers spread over the receiver classes and models, so
// that none is a duplicate of another (each is an unmatched device).
QString unpairedReceivers(int count);

// Writes a firmware image file of the given header fields into `binDir`.
bool writeFirmwareImage(const QString& binDir, const QString& file, quint8 kind, quint8 cid, quint8 mid,
                        const QByteArray& name, quint32 version);

// Deals with every modal dialog that opens while it lives: records its class
// name and hands it to the handler (default: close it).
class ModalWatcher : public QObject
{
public:
    using Handler = std::function<void(QWidget*)>;
    explicit ModalWatcher(Handler handler = {});
    ~ModalWatcher() override;

    QStringList seen() const { return m_seen; }

private:
    void poll();

    Handler m_handler;
    QStringList m_seen;
    QTimer* m_timer = nullptr;
};

} // namespace choicetest
