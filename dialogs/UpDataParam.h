#pragma once

#include "core/FlashDataMap.h"

#include "dialogs/DialogFrame.h"

#include <QString>
#include <QTimer>

#include <atomic>

// The "please wait" notice whose single-shot timer does the waiting work and then closes it:
// waiting for the pages to fill from the mouse, a reload after a reset, importing a settings file,
// or falling back to the device cache when the mouse is silent. GUI thread only.
class UpDataParam final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit UpDataParam(QWidget* parent = nullptr);
    ~UpDataParam() override;

    QString ImportFile;
    bool IsImport = false;
    bool IsReload = false;

    // Starts the 2.5 s single shot; the job runs when it fires. Call just before exec().
    void StartTimer();

    // Puts the notice in reload mode for its next run. The page-filled flags are cleared now, so
    // that pages filled before the reset are not taken for the fill that the reload brings.
    void setReload();

    // 0 accepted, 1 not a settings file (unreadable, wrong tag, wrong block sizes), 2 made for
    // another sensor or with more DPI levels than the open mouse offers. `out` is written only for 0.
    static int ImportParamFile(const QString& path, FlashDataMap* out);

    // The button page's import: checks the mouse, asks for a file (starting in the home folder),
    // runs the notice over `page` and returns ImportResult, or -1 when nothing was imported because
    // the mouse was offline or no file was chosen.
    static int RunImport(QWidget* page);

    // Test seam: the next file question answers `path` without showing a dialog.
    static void setNextImportFileForTesting(const QString& path);

    // The button page's export: asks for a file (starting in the home folder) and writes the
    // mouse's configuration (read from it, else its cache) with the open device's sensor name,
    // atomically; a name typed without an extension gets ".bin". Only a file the import takes
    // back is written. False when cancelled or not written (logged and told in a notice).
    static bool RunExport(QWidget* page);
    static void setNextExportFileForTesting(const QString& path);

public slots:
    void onTimeupDestroy();

protected:
    // "label" normally, "label_1" while an import runs (the default text stays without it).
    void applyLanguage(const shell::LanguageElement& texts) override;

private:
    bool waitForPages(bool clearWhenSeen);
    void runReload();
    void runImport();
    void runNormalWait();
    void runOfflineFallback();
    void runJob();
    void emitPageRefill(const FlashDataMap& image);
    void showImportFailure();

    QTimer m_timer;
    // A job's waits process events, so the timer of a request that came meanwhile can fire inside
    // it; that job then runs after the current one instead of inside it.
    bool m_jobRunning = false;
    bool m_jobQueued = false;
};
