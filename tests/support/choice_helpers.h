#pragma once

#include <QByteArray>
#include <QString>

// Helpers of the device choice page and pairing tests.
namespace choicetest {

// A private program folder (below HOME) holding the shipped Config.ini and
// language files and an empty "/bin", made the program folder through
// TALVO_APP_DIR. Call before anything reads Config.ini.
QString prepareAppDir();

// `count` unpaired receivers spread over the receiver classes and models, so
// that none is a duplicate of another (each is an unmatched device).
QString unpairedReceivers(int count);

// Writes a firmware image file of the given header fields into `binDir`.
bool writeFirmwareImage(const QString& binDir, const QString& file, quint8 kind, quint8 cid, quint8 mid,
                        const QByteArray& name, quint32 version);

} // namespace choicetest
