#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class QObject;
class QWidget;

namespace dialogtest {

// The child `name` of `parent`, or null after a warning naming what is
// missing, so a failed QVERIFY says which widget a form lost.
QWidget* findWidget(const QObject* parent, const char* name);

template <class T>
T* widget(const QObject* parent, const char* name)
{
    return qobject_cast<T*>(findWidget(parent, name));
}

// A text of the shipped language file `index`, read without the program's
// loader, so a loader fault cannot hide itself. Null when absent.
QString shippedText(int index, const QString& element, const QString& child);

// Stores the user's language choice as the language choices of the program do.
void chooseLanguage(int index);

// While alive, the program folder is an empty temporary folder holding only
// the language files written through write(); the real one comes back after.
class FakeProgramFolder
{
public:
    FakeProgramFolder();
    ~FakeProgramFolder();
    // Writes the language file of `index` with exactly these bytes.
    void write(int index, const QByteArray& xml);
    QString path() const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_previous;
};

} // namespace dialogtest
