#include <QApplication>
#include <QLabel>
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel l("TALVO R430K mouse");
    l.show();
    return app.exec();
}
