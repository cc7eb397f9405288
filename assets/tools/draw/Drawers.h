#pragma once
// Pictures drawn by code rather than from SVG. A drawer registers itself under a name that the
// art contract uses as "code:<name>" or "code:<name>:<argument>".
#include <QImage>
#include <QString>
#include <functional>
#include <map>

class QSvgRenderer;

struct DrawContext {
    QString assetsDir;  // the assets/ folder of the source tree
    QString sharedDefs; // the shared SVG <defs> every picture may use (in the picture's language)
    QString fontFamily; // the game's font, registered before drawing
    int scale = 1;      // pixels per unit of the contract's sizes (2: double size)
    QString language;   // empty for the base (Japanese) pictures, else a text table's language
    // Puts the texts of an SVG source (its file under assets/art) in the picture's language;
    // unset for the base pictures, whose sources are drawn as written.
    std::function<QString(const QString &svg, const QString &file)> translate;
};

// svg, the text of the source file under assets/art, in ctx's language.
inline QString translated(const DrawContext &ctx, const QString &svg, const QString &file)
{
    return ctx.translate ? ctx.translate(svg, file) : svg;
}

// A drawer gets the contract's size and returns a picture of ctx.scale times as many pixels each
// way with that device pixel ratio, so it paints in the contract's units at any scale.
using Drawer = std::function<QImage(const QSize &size, const QString &arg, const DrawContext &ctx)>;

std::map<QString, Drawer> &drawers();

// Renders SVG text (with the shared defs injected) into a transparent picture of the given size,
// at ctx.scale pixels per unit.
QImage renderSvgText(const QString &svgText, const QSize &size, const DrawContext &ctx,
                     const QString &elementId = QString());

struct DrawerRegistration {
    DrawerRegistration(const QString &name, Drawer drawer) { drawers()[name] = std::move(drawer); }
};
