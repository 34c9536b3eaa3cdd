#pragma once

#include <QRect>
#include <QStringList>

class QWidget;

// Checks of what a window shows, shared by the tests that walk whole windows:
// texts that do not fit their widgets and pictures their style sheets name
// that are not on disk. Each returns one readable line per fault, so a test can
// report every fault of a window at once.
namespace fittest {

// Texts of labels and buttons below `root` (itself included) that are wider or
// taller than their widget's contents, or that wrap into more lines than fit.
// A widget hidden on its own is skipped; one on a page of a stacked widget
// that is not showing is checked, as that page can be shown.
QStringList clippedTexts(QWidget* root);

// Pictures named by url(...) in the style sheets of `root`, its children and
// the application that do not exist.
QStringList missingPictures(QWidget* root);

// Widgets of `page` that show outside `panel`, a rectangle in the coordinates
// of `frame`, an ancestor of the page: every visible widget without visible
// children or with a picture of its own style sheet, clipped by its ancestors
// up to the frame. A fault names the widget
// by the object names from the page down; `allowed` holds such paths (or their
// beginnings) whose overreach is known, which are skipped.
QStringList outsidePanel(QWidget* page, QWidget* frame, const QRect& panel, const QStringList& allowed = {});

// Every text a user can read below `root`, one "path\ttext" line each: texts of labels, buttons,
// group boxes, tab bars, tool tips, line edits (their placeholders too), the entries of combo boxes, list
// and table views (headers included) and of the menus below the root, and the window title of a
// root that the window manager frames. Widgets are skipped as clippedTexts() skips them.
QStringList shownTexts(QWidget* root);

} // namespace fittest
