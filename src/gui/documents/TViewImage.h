#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

// The simple picture window: one picture file shown whole, fitted into the window (never enlarged) with a margin of
// 10 pixels, laid out again whenever the window is resized or maximised.
class TViewImage : public QDialog {
    Q_OBJECT
public:
    // The first client size and the smallest one the grip leaves.
    static constexpr int kInitialWidth = 492;
    static constexpr int kInitialHeight = 473;
    static constexpr int kMinimumSide = 201;

    explicit TViewImage(QWidget* owner = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    // Where the picture is drawn in the window.
    QRect pictureRect() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void layoutPicture();

    QImage m_picture;
    QLabel* m_image;
};

// Shows the picture file in the simple picture window, modally. A missing file is reported and nothing is shown;
// so is a file that cannot be read as a picture. False when the window was not shown.
bool ShowImageFile(const QString& path, QWidget* owner = nullptr);
