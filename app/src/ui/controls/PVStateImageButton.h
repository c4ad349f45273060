#pragma once

// Base of the buttons that show one of three images by state: the normal,
// the selected and the highlighted image. Setting the selected or
// highlighted image shows it at once; the normal one shows on the next
// repaint.

#include "ui/controls/PVButton.h"

#include <QImage>

class PVStateImageButton : public PVButton
{
    Q_OBJECT

  public:
    using PVButton::PVButton;

    const QImage& image() const { return image_; }
    const QImage& selectedImage() const { return selectedImage_; }
    const QImage& highlightedImage() const { return highlightedImage_; }
    void setImage(const QImage& image) { image_ = image; }
    void setSelectedImage(const QImage& image)
    {
        selectedImage_ = image;
        updateLayout();
    }
    void setHighlightedImage(const QImage& image)
    {
        highlightedImage_ = image;
        updateLayout();
    }

  private:
    QImage image_;
    QImage selectedImage_;
    QImage highlightedImage_;
};
