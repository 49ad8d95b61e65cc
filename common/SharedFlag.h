#pragma once

#include <QObject>

// A process-wide on/off state owned by the application (BatchMode, ClockReadPaused) and
// handed to the windows by reference.
class SharedFlag : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    bool isSet() const { return set_; }
    void set(bool on);

signals:
    void changed(bool on);

private:
    bool set_ = false;
};

// Sets a flag for the lifetime of a scope and clears it again on every way out.
class FlagScope
{
public:
    explicit FlagScope(SharedFlag &flag) : flag_(flag) { flag_.set(true); }
    ~FlagScope() { flag_.set(false); }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    SharedFlag &flag_;
};
