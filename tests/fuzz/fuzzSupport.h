// A fault check that stops the run in every build, and a reader of the fuzzer's bytes.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

// Q_ASSERT vanishes in release builds; the fuzzer must see a broken promise as a crash.
#define FUZZ_CHECK(condition) ((condition) ? void() : std::abort())

class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size) : mData(reinterpret_cast<const char *>(data)), mSize(int(size)) {}

    bool atEnd() const { return mPos >= mSize; }
    // Zero once the input is used up, so that every input means something.
    quint8 byte() { return atEnd() ? 0 : quint8(mData[mPos++]); }
    QByteArray bytes(int count)
    {
        const QByteArray result(mData + mPos, qMin(count, mSize - mPos));
        mPos += result.size();
        return result;
    }
    QByteArray rest() { return bytes(mSize - mPos); }

private:
    const char *mData;
    int mSize;
    int mPos = 0;
};
