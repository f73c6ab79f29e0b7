#pragma once
#include <QLineEdit>
#include <QString>
#include <functional>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Single-line field for numbers. The mask `Matrix` fixes the largest
// magnitude, the number of decimals and whether a leading "-" is allowed:
// "-90,00" admits -90 to 90 with two decimals, "9999" admits 0 to 9999.
// Every change of the text is checked; a text that breaks the mask is
// replaced at once by the last valid one. `Wert` follows the text, and
// `Change` is emitted only for texts that are full valid numbers. Dialogs
// connect to `Change`, never to textChanged.
class TNumedit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumedit(QWidget* parent = nullptr);

    bool Entertaste() const { return FEntertaste; }
    void SetEntertaste(bool an) { FEntertaste = an; }
    bool Warnton() const { return FWarnton; }
    void SetWarnton(bool an) { FWarnton = an; }
    TAlignment Ausrichtung() const { return FAusrichtung; }
    void SetAusrichtung(TAlignment a);

    QString Matrix() const { return FMatrix; }
    // "." and "," become the locale's decimal separator. A mask that does not
    // read as a number is ignored. A non-empty text is reformatted for the
    // new mask.
    void SetMatrix(const QString& maske);

    long double Wert() const { return FWert; }
    // Shows the value as formatted for the mask; a value the mask does not
    // admit is refused like typed text.
    void SetWert(long double wert);

    // Called for every refused key or text while `Warnton` is on; tests
    // replace it to count the beeps.
    static std::function<void()> Piepser;

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    enum class TUrteil { Leer, Teil, Gueltig, Ungueltig };

    int Nachkommastellen() const;
    QString FormatMaske() const;
    QString WertText() const;
    TUrteil Beurteilen(const QString& t, long double& wert, int& teilPosition) const;
    void TextAenderung();
    void Piep();
    int Caret() const;

    QString FMatrix;
    bool FEntertaste = true;
    TAlignment FAusrichtung = taRightJustify;
    long double FWert = 0;
    bool FWarnton = true;
    // Held per field: a refused change in one field must never bring back
    // another field's text.
    QString FLetzterText;
    int FLetztePosition = 0;
};
