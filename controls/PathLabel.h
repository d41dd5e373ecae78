#pragma once

// TFileLabel: a one-line label holding a full path (FileName) and showing as much of it as
// fits, with the folders that do not fit replaced by "...". Program logic reads FileName;
// the shown text is for display only.

#include "controls/PathFit.h"

#include <QLabel>

class TFileLabel : public QLabel {
    Q_OBJECT
public:
    enum TDirection { drFromLeft, drFromRight };
    Q_ENUM(TDirection)

    Q_PROPERTY(QString FileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
    Q_PROPERTY(TDirection Direction READ direction WRITE setDirection NOTIFY directionChanged)
    Q_PROPERTY(QString Separator READ separator WRITE setSeparator NOTIFY separatorChanged)

public:
    explicit TFileLabel(QWidget* parent = nullptr);
    ~TFileLabel() override;

    QString fileName() const { return fileName_; }
    void setFileName(const QString& name);
    TDirection direction() const { return direction_; }
    void setDirection(TDirection d);
    QString separator() const { return separator_; }
    void setSeparator(const QString& s);

    // With the tip on, a name shown cut has the whole of it as its tooltip. Off by default: a
    // label inside a control with a hint of its own would hide that hint.
    void setFullNameTip(bool on);

    // The pieces of FileName as last split.
    const qm::controls::PathPieces& pieces() const { return pieces_; }

signals:
    void fileNameChanged(const QString& fileName);
    void directionChanged(TDirection direction);
    void separatorChanged(const QString& separator);
    void clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void split();
    void fit();

    QString fileName_;
    QString separator_ = QStringLiteral("\\");
    TDirection direction_ = drFromLeft;
    qm::controls::PathPieces pieces_;
    bool fullNameTip_ = false;
};
