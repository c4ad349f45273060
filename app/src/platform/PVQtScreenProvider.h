#pragma once

// The screens of QGuiApplication::screens(), converted from Qt's virtual
// desktop (top-left origin, y down) to the runtime's coordinates (origin at
// the bottom left of the primary screen, y up). Display numbers count from 1
// in the order connector names are first seen.

#include "platform/PVScreenProvider.h"

#include <QHash>

class QScreen;

class PVQtScreenProvider final : public PVScreenProvider
{
    Q_OBJECT

  public:
    explicit PVQtScreenProvider(QObject* parent = nullptr);

    QList<PVScreen> screens() const override;
    std::optional<PVScreen> mainScreen() const override;

  private:
    void watch(QScreen* screen);
    PVScreen convert(QScreen* screen, const QRect& primaryGeometry) const;
    quint32 numberOf(const QString& name) const;

    mutable QHash<QString, quint32> numbers_;
};
