#pragma once

#include <QIcon>

// The pictures of the program's buttons, drawn rather than read from files so that no picture has to
// be found at run time and every button looks the same on every desktop. Each is drawn in colour;
// the style greys it for a disabled button.
enum class ButtonGlyph {
    Add,
    Edit,
    Delete,
    Prior,
    Next,
    Print,
    Html,
    View,
    Save,
    Mail,
    Run,
    ChartMode,
    File,
    Analyses,
    Tools,
    Help,
};

QIcon ButtonGlyphIcon(ButtonGlyph glyph);

class QToolButton;
class QWidget;
// A page's command button: its glyph above its caption, a fixed width so the column lines up.
QToolButton* PageButton(QWidget* parent, const QString& name, const QString& text, const QString& hint,
                        ButtonGlyph icon);
