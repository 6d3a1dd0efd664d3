#ifndef TORVEX_ENGINE_KTTHREAD_H
#define TORVEX_ENGINE_KTTHREAD_H

#include <QThread>

// Runs one member function of an object on a thread of its own, handing it the object.
template <typename T>
class KTThread : public QThread
{
public:
    using Function = void (T::*)(T*);

    KTThread(T* object, Function function, QObject* parent = nullptr)
        : QThread(parent)
        , object(object)
        , function(function)
    {
    }

protected:
    void run() override { (object->*function)(object); }

private:
    T* object;
    Function function;
};

#endif
