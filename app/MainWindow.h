#pragma once
// The one top-level window: a fixed 1024 x 576 frame around the graphics view of the Scene.
#include <QMainWindow>

class QGraphicsView;
class QHBoxLayout;
class Scene;
class FramePacer;

class MainWindow : public QMainWindow
{
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Scene *getScene() const { return scene; }
    QGraphicsView *getView() const { return view; }

private:
    struct Form {
        QWidget *centralWidget = nullptr;
        QHBoxLayout *horizontalLayout = nullptr;
    };

    Form *ui = nullptr;
    QGraphicsView *view = nullptr;
    Scene *scene = nullptr;
    FramePacer *pacer = nullptr;
};
