// trellan: the Qt Widgets program.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow w;
  w.setWindowTitle("Quorvel Trellan");
  w.show();
  return app.exec();
}
