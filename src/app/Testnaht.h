#pragma once
// The seams of the program for tests, benchmarks and fuzz targets, the one
// header they include for them (it brings those of the imaging control and
// the pixel operations along): each makes the program fail as it would when
// memory runs out, answers what the user would be asked, or sends a print
// job where the caller wants it. The program itself never sets them.
#include <QString>
#include <functional>
#include "Meldung.h"
#include "gear/GearTestnaht.h"

// While on, every transfer from an imaging control into a bitmap fails as
// it does when memory runs out.
void TransferStoerungSetzen(bool an);

// Takes every message box in place of the user: the hook gets the text as
// shown ("\r" already turned into line breaks) and returns the button.
using TMeldungHaken = std::function<int(const QString& text, TMeldungArt art, int knoepfe)>;
void SetzeMeldungHaken(TMeldungHaken haken);

// Runs just before every print job begins, to point each job at a file of
// its own.
extern std::function<void()> DruckauftragHaken;
