#pragma once
// The one top-level window: a fixed 1024 x 576 frame around the graphics view of the Scene.
// F11 or Alt+Enter switch to full screen, where the scene is scaled to fit and centred on black.
#include <QMainWindow>

#include <memory>

class QGraphicsView;
class QHBoxLayout;
class QRect;
class Scene;
class FramePacer;

class MainWindow : public QMainWindow
{
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Room a window manager's frame may take around the window, title bar included.
    static constexpr int FrameAllowance = 48;
    // Whether the 1024 x 576 window with its frame fits an available area of the screen (in
    // the same units, the screen's logical pixels); where it does not, the game starts on the
    // whole screen rather than open a window the player cannot see whole.
    static bool fitsIn(const QRect &available);

    Scene *getScene() const { return scene.get(); }
    QGraphicsView *getView() const { return view; }

    bool isFullScreenMode() const { return fullScreenMode; }
    void setFullScreenMode(bool on);
    void toggleFullScreenMode() { setFullScreenMode(!fullScreenMode); }
    // Scales the scene to the view's current size (full screen) or back to one to one.
    void fitScene();
    // Shows the return-to-menu question of the game in play, as Escape would; the time it stays
    // up costs the play nothing (Game_Base::pauseForLeftWindow).
    void pauseGameInPlay();

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void checkDensity();
    void setWindowedFrame();

    struct Form {
        QWidget *centralWidget = nullptr;
        QHBoxLayout *horizontalLayout = nullptr;
    };

    Form ui;
    // A child of this window (through the central widget); the scene goes before it.
    QGraphicsView *view = nullptr;
    std::unique_ptr<Scene> scene;
    FramePacer *pacer = nullptr;
    bool fullScreenMode = false;
};
