// Text typed into a spin box under any settings QML may give it: validate() and fixup()
// must never crash or hang, and validate() must keep the cursor inside the text.
#include "fuzzSupport.h"

#include "ui/customSpinBoxValidator.h"

#include <cstring>

// Mostly small numbers, as forms use them; sometimes any double, infinities and NaN included.
static double numberOf(FuzzInput &input)
{
    const quint8 kind = input.byte();
    if (kind < 0xF0)
        return qint8(input.byte()) / double(1 << (kind % 4));
    const QByteArray raw = input.bytes(int(sizeof(double))).leftJustified(int(sizeof(double)), '\0');
    double value;
    std::memcpy(&value, raw.constData(), sizeof(double));
    return value;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    CustomSpinBoxValidator validator;
    validator.setMinimumValue(numberOf(input));
    validator.setMaximumValue(numberOf(input));
    validator.setDecimals(qint8(input.byte()) % 20);
    validator.setStepSize(numberOf(input));
    validator.setPrefix(QString::fromUtf8(input.bytes(input.byte() % 16)));
    validator.setSuffix(QString::fromUtf8(input.bytes(input.byte() % 16)));
    validator.setRadix(input.byte() % 40);
    validator.setValue(numberOf(input));
    if (input.byte() & 1)
        validator.componentComplete();
    if (input.byte() & 1)
        validator.increment();

    QString text = QString::fromUtf8(input.rest());
    int pos = text.isEmpty() ? 0 : int(data[0]) % (text.length() + 1);
    validator.validate(text, pos);
    FUZZ_CHECK(pos >= 0 && pos <= text.length());
    validator.fixup(text);
    return 0;
}
