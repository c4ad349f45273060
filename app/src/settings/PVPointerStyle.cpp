#include "settings/PVPointerStyle.h"

#include "settings/PVFilePathManager.h"

PVPointerStyle::PVPointerStyle(const QVariantMap& styleDict)
    : id_(styleDict.value(QStringLiteral("_id")).toULongLong()),
      pointerTag_(styleDict.value(QStringLiteral("tag")).toULongLong())
{
    const QVariant name = styleDict.value(QStringLiteral("image_name"));
    imageName_ = name.typeId() == QMetaType::QString ? name.toString() : QString(QLatin1String(""));
    if (imageName_.isEmpty()) {
        return;
    }
    if (pointerTag_ == PVPointerTagCustom) {
        const QString path = PVFilePathManager::filePath(imageName_);
        if (!path.isNull()) {
            image_.load(path);
        }
    } else {
        image_ = resourceImage(imageName_);
    }
}

QImage PVPointerStyle::resourceImage(const QString& name)
{
    QImage image(QStringLiteral(":/images/") + name + QStringLiteral(".png"));
    if (image.isNull()) {
        image.load(QStringLiteral(":/images/") + name);
    }
    return image;
}
