// A one-file program built with nothing but what pkg-config says for
// tavo-widgets.
#include <QApplication>
#include <tavo/widgets/date_drop_down.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavo::DateDropDown date;
    date.setDate(QDate(2001, 2, 3));
    return date.date() == QDate(2001, 2, 3) ? 0 : 1;
}
