#include "app/MainWindow.h"

#include "app/FramePacer.h"
#include "app/Scene.h"

#include <QGraphicsView>
#include <QHBoxLayout>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MainWindow"));
    resize(1024, 576);
    ui = new Form;
    ui->centralWidget = new QWidget(this);
    ui->centralWidget->setObjectName(QStringLiteral("centralWidget"));
    ui->horizontalLayout = new QHBoxLayout(ui->centralWidget);
    ui->horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    ui->horizontalLayout->setSpacing(0);
    ui->horizontalLayout->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(ui->centralWidget);

    setWindowTitle(tr("Tovira Parade"));
    setWindowFlags(Qt::MSWindowsFixedSizeDialogHint);
    // A fixed-size window: the scene is laid out for exactly this size.
    setFixedSize(1024, 576);

    view = new QGraphicsView(this);
    ui->horizontalLayout->addWidget(view);
    scene = new Scene(view, width(), height());
    view->setScene(scene);

    // The view is repainted only by the pacer, once per frame, however often items ask.
    view->setViewportUpdateMode(QGraphicsView::NoViewportUpdate);
    pacer = new FramePacer(scene, view->viewport(), this);
}

MainWindow::~MainWindow()
{
    delete ui;
    ui = nullptr;
    delete scene;
    scene = nullptr;
    delete view;
    view = nullptr;
}
