#include "app/format_text.h"

namespace {

class TextSink {
public:
    TextSink(wchar_t* out, int capacity) : out_(out), capacity_(capacity) {}
    void Put(wchar_t c)
    {
        if (length_ + 1 < capacity_) {
            out_[length_++] = c;
        }
    }
    void Finish()
    {
        if (capacity_ > 0) {
            out_[length_] = L'\0';
        }
    }

private:
    wchar_t* out_;
    int capacity_;
    int length_ = 0;
};

void PutNumber(TextSink& sink, int value, unsigned base, int width, wchar_t pad)
{
    const wchar_t digits[] = L"0123456789abcdef";
    bool negative = base == 10 && value < 0;
    unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    wchar_t reversed[16];
    int count = 0;
    do {
        reversed[count++] = digits[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    int length = count + (negative ? 1 : 0);
    if (negative && pad == L'0') {
        sink.Put(L'-');
    }
    for (; length < width; ++length) {
        sink.Put(pad);
    }
    if (negative && pad != L'0') {
        sink.Put(L'-');
    }
    while (count > 0) {
        sink.Put(reversed[--count]);
    }
}

}  // namespace

void FormatText(wchar_t* out, int capacity, const wchar_t* format,
                std::initializer_list<FormatArg> args)
{
    TextSink sink(out, capacity);
    const FormatArg* next = args.begin();
    for (const wchar_t* p = format; *p != L'\0'; ++p) {
        if (*p != L'%') {
            sink.Put(*p);
            continue;
        }
        ++p;
        if (*p == L'%') {
            sink.Put(L'%');
            continue;
        }
        wchar_t pad = L' ';
        if (*p == L'0') {
            pad = L'0';
            ++p;
        }
        int width = 0;
        while (*p >= L'0' && *p <= L'9') {
            width = width * 10 + (*p++ - L'0');
        }
        if (*p == L'\0') {
            break;
        }
        if (next == args.end()) {
            continue;
        }
        const FormatArg& arg = *next++;
        switch (*p) {
        case L's':
            for (const wchar_t* t = arg.text ? arg.text : L""; *t != L'\0'; ++t) {
                sink.Put(*t);
            }
            break;
        case L'd':
            PutNumber(sink, arg.number, 10, width, pad);
            break;
        case L'x':
            PutNumber(sink, arg.number, 16, width, pad);
            break;
        default:
            break;
        }
    }
    sink.Finish();
}
