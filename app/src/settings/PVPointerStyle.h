#pragma once

// One pointer style the user can pick, made from a style record of the
// settings store.

#include <QImage>
#include <QString>
#include <QMetaType>
#include <QVariantMap>

enum PVPointerTag : quint64
{
    PVPointerTagBuiltIn = 0,
    PVPointerTagCustom = 1,
    PVPointerTagImport = 2,
};

class PVPointerStyle
{
  public:
    /// A style of the record; an empty record makes a style of "_id" 0
    /// without image.
    explicit PVPointerStyle(const QVariantMap& styleDict = {});

    quint64 _id() const { return id_; }
    void set_id(quint64 id) { id_ = id; }
    quint64 pointerTag() const { return pointerTag_; }
    const QString& imageName() const { return imageName_; }
    /// The style's image: the file of that name in the document folder for a
    /// custom style, the application's image resource otherwise; null when
    /// it cannot be loaded.
    const QImage& image() const { return image_; }

    /// The application's image resource of `name` (":/images/<name>.png").
    static QImage resourceImage(const QString& name);

  private:
    quint64 id_ = 0;
    quint64 pointerTag_ = 0;
    QString imageName_;
    QImage image_;
};

// Styles travel in QVariant lists to the views that show them.
Q_DECLARE_METATYPE(PVPointerStyle)
