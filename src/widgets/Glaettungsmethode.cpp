#include "Glaettungsmethode.h"
#include <QRadioButton>
#include <utility>
#include "pixelops/Bitmap_Skalieren.h"

void TGlaettungsmethode::GlaettungAnlegen(QWidget* eltern)
{
    auto radio = [eltern](const char* name, const char* text) {
        auto* r = new QRadioButton(QString::fromUtf8(text), eltern);
        r->setObjectName(QLatin1String(name));
        return r;
    };
    rbLanczos = radio("rbLanczos", "Lanczos");
    rbMitchell = radio("rbMitchell", "Mitchell");
    rbSpline = radio("rbSpline", "Spline");
    rbBell = radio("rbBell", "Bell");
    rbHermite = radio("rbHermite", "Hermite");
    rbTriangle = radio("rbTriangle", "Triangle");
    rbBox = radio("rbBox", "Box");
    rbQuick = radio("rbQuick", "Quick");
    rbLanczos->setChecked(true);
}

QRadioButton* TGlaettungsmethode::GlaettungsKnopf(int i) const
{
    QRadioButton* const knoepfe[] = {rbLanczos, rbMitchell, rbSpline, rbBell, rbHermite, rbTriangle, rbBox, rbQuick};
    return i >= 0 && i < 8 ? knoepfe[i] : nullptr;
}

int TGlaettungsmethode::GlaettungsFilter() const
{
    const std::pair<const QRadioButton*, int> tabelle[] = {{rbBox, FilterNrKasten},     {rbTriangle, FilterNrDreieck},
                                                           {rbHermite, FilterNrHermite}, {rbBell, FilterNrGlocke},
                                                           {rbSpline, FilterNrBSpline},  {rbMitchell, FilterNrMitchell}};
    for (const auto& [knopf, nummer] : tabelle)
        if (knopf->isChecked())
            return nummer;
    return FilterNrLanczos3;
}

int NachschaerfMenge(const QRadioButton* leicht, const QRadioButton* mittel, const QRadioButton* stark)
{
    if (leicht->isChecked())
        return 8;
    if (mittel->isChecked())
        return 18;
    if (stark->isChecked())
        return 36;
    return 0;
}
