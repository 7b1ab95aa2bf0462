#include "mainwindow/mainwindow.h"

#include "app/constants.h"

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(tr(Constants::DisplayName));
    resize(1064, 600);
}

MainWindow::~MainWindow() = default;
