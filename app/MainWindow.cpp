#include "app/MainWindow.h"

#include "app/FramePacer.h"
#include "app/Game_GameList.h"
#include "app/Scene.h"
#include "base/HighDensity.h"
#include "base/PicturePrefetch.h"
#include "base/ResourceFile.h"
#include "games/frame/Game_Base.h"
#include "launcher/Item_Lancher.h"

#include <QCoreApplication>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QShortcut>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MainWindow"));
    resize(1024, 576);
    ui.centralWidget = new QWidget(this);
    ui.centralWidget->setObjectName(QStringLiteral("centralWidget"));
    ui.horizontalLayout = new QHBoxLayout(ui.centralWidget);
    ui.horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    ui.horizontalLayout->setSpacing(0);
    ui.horizontalLayout->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(ui.centralWidget);

    setWindowTitle(QCoreApplication::translate("MainWindow", "Tovira Parade"));
    setWindowFlags(Qt::MSWindowsFixedSizeDialogHint);
    // A fixed-size window: the scene is laid out for exactly this size.
    setFixedSize(1024, 576);

    view = new QGraphicsView(this);
    ui.horizontalLayout->addWidget(view);
    scene = std::make_unique<Scene>(view, width(), height());
    view->setScene(scene.get());

    // The view is repainted only by the pacer, once per frame, however often items ask.
    view->setViewportUpdateMode(QGraphicsView::NoViewportUpdate);
    pacer = new FramePacer(scene.get(), view->viewport(), this);

    setWindowedFrame();
    view->viewport()->installEventFilter(this);
    for (const QKeySequence &keys :
         {QKeySequence(Qt::Key_F11), QKeySequence(Qt::ALT | Qt::Key_Return),
          QKeySequence(Qt::ALT | Qt::Key_Enter)}) {
        QShortcut *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &MainWindow::toggleFullScreenMode);
    }
    checkDensity();
    // The first screen's pictures are decoded: the pages of the resource file they were read
    // from are not needed again soon, nor pictures decoded ahead that nobody took.
    PicturePrefetch::finish();
    ResourceFile::releasePages();
}

bool MainWindow::fitsIn(const QRect &available)
{
    return available.width() >= 1024 + FrameAllowance / 4 &&
           available.height() >= 576 + FrameAllowance;
}

void MainWindow::checkDensity()
{
    // The double-size pictures are read only once the game is first shown enlarged.
    if (HighDensity::enlargedTo(devicePixelRatioF() * view->transform().m11())) {
        scene->reloadBackground();
        scene->getLauncher()->reloadPictures();
    }
}

void MainWindow::setWindowedFrame()
{
    // The layout puts the scene 2 px in from the window's edge, inside the view's frame. Styles
    // draw that frame 1 px wide on some platforms, which leaves a light line and a strip of the
    // scene beside the screens; a plain 2-px frame in the art's ink is the same everywhere. (A
    // scroll area draws a plain frame in its foreground role, the text colour.)
    QPalette ink;
    ink.setColor(view->foregroundRole(), QColor(0x2b, 0x1d, 0x2e));
    view->setPalette(ink);
    view->setFrameStyle(QFrame::Box | QFrame::Plain);
    view->setLineWidth(2);
}

void MainWindow::setFullScreenMode(bool on)
{
    if (on == fullScreenMode)
        return;
    fullScreenMode = on;
    if (on) {
        // The bars beside the scene are the view's own background, black.
        QPalette black = view->palette();
        black.setColor(QPalette::Base, Qt::black);
        black.setColor(QPalette::Window, Qt::black);
        view->setPalette(black);
        view->setFrameShape(QFrame::NoFrame);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        showFullScreen();
    } else {
        setWindowedFrame();
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        showNormal();
        setFixedSize(1024, 576);
    }
    fitScene();
}

void MainWindow::fitScene()
{
    if (!fullScreenMode) {
        view->resetTransform();
    } else {
        const QRectF shown = scene->sceneRect();
        const QSize area = view->viewport()->size();
        const qreal scale = qMin(area.width() / shown.width(), area.height() / shown.height());
        if (scale > 0)
            view->setTransform(QTransform::fromScale(scale, scale));
    }
    checkDensity();
    view->viewport()->update();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (fullScreenMode && watched == view->viewport() && event->type() == QEvent::Resize)
        fitScene();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if ((event->type() == QEvent::ActivationChange && !isActiveWindow()) ||
        (event->type() == QEvent::WindowStateChange && isMinimized()))
        pauseGameInPlay();
}

void MainWindow::pauseGameInPlay()
{
    // Result screens and a question already shown ignore it, and the menu and stories are no
    // game.
    Game_GameList *list = scene->getGameList();
    for (int i = 0; i < Game_GameList::GameCount; ++i) {
        Game_Base *game = list->game(i);
        if (game && game->scene() == scene.get())
            game->pauseForLeftWindow();
    }
}

MainWindow::~MainWindow() = default;
