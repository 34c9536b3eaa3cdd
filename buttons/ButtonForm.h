#pragma once

#include <QString>

class DebounceTime;
class MyConmboBox;
class QAbstractButton;
class QFrame;
class QGroupBox;
class QLabel;
class QScrollArea;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;
class QWidget;

// The widgets of the button page, built in code from row tables: the mouse
// picture with its six number buttons, the column of six button selectors,
// the function list and the eight pages of the function menu. Every widget
// carries its object name; the tool buttons are reached by name through
// button(). Nothing is connected here.
class ButtonForm
{
public:
    // The function list and the menu pages reach 11 px above and up to 14 px below the panel
    // that clips them: a column keeps those bands clear (plus a little air), so its first and
    // last entries can be scrolled fully into view.
    static void keepClearOfPanelEdges(QVBoxLayout* column, int left);

    void setupUi(QWidget* page);
    // The built-in texts, which stand until a language file replaces them.
    void retranslateUi();
    // The run-time look from the page's pictures and the "Option" colours.
    void applyStyles(const QString& pictureDir);
    // The mouse picture (the page always shows picture 0).
    void showMousePicture(const QString& pictureDir);

    // A tool button of the page by object name; null for an unknown name.
    QToolButton* button(const char* name) const;
    // A scroll area, and a page of the function menu, by object name.
    QScrollArea* scrollArea(const char* name) const;
    QWidget* menuPage(const char* name) const;

    QFrame* MainWindow = nullptr;
    QLabel* label = nullptr;
    MyConmboBox* ProjectChoose = nullptr;
    QWidget* widget = nullptr;
    QToolButton* Reset = nullptr;
    QToolButton* ImportData = nullptr;
    QToolButton* OutputData = nullptr;
    QGroupBox* groupBox = nullptr;
    QScrollArea* scrollArea_11 = nullptr;
    QWidget* scrollAreaWidgetContents_11 = nullptr;
    QStackedWidget* stackedWidget = nullptr;
    QWidget* page = nullptr;
    QWidget* page_2 = nullptr;
    QGroupBox* groupBox_4 = nullptr;
    QStackedWidget* stackedWidget_2 = nullptr;
    QWidget* page_5 = nullptr;
    QWidget* page_9 = nullptr;
    QScrollArea* scrollArea_7 = nullptr;
    QGroupBox* groupBox_2 = nullptr;
    QLabel* label_3 = nullptr;
    DebounceTime* DebunceButton = nullptr;

private:
    QWidget* m_page = nullptr;
};
