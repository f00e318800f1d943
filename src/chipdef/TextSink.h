#pragma once
// A text being written into a caller's buffer of a given capacity: appends are cut at the
// capacity, so the buffer is never overrun, and the text stays terminated.
//
//     char buffer[64];
//     TextSink sink(buffer, sizeof buffer);
//     sink.Append("REG[24h]");
//     sink.Format(" = %Xh", 0x3Cu);              // "REG[24h] = 3Ch"
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

class TextSink {
public:
    // Empties the buffer (capacity 0: nothing is ever written).
    TextSink(char* buffer, size_t capacity) : m_Buffer(buffer), m_Capacity(buffer ? capacity : 0) {
        if (m_Capacity > 0) {
            m_Buffer[0] = '\0';
        }
    }

    void Append(const char* text) {
        if (!text || m_Used + 1 >= m_Capacity) {
            return;
        }
        const size_t room = m_Capacity - 1 - m_Used;
        size_t length = std::strlen(text);
        if (length > room) {
            length = room;
        }
        std::memcpy(m_Buffer + m_Used, text, length);
        m_Used += length;
        m_Buffer[m_Used] = '\0';
    }

    void Format(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        if (m_Used + 1 >= m_Capacity) {
            return;
        }
        va_list args;
        va_start(args, format);
        const int length = std::vsnprintf(m_Buffer + m_Used, m_Capacity - m_Used, format, args);
        va_end(args);
        if (length > 0) {
            const size_t written = static_cast<size_t>(length);
            m_Used = m_Used + written < m_Capacity ? m_Used + written : m_Capacity - 1;
        }
    }

    size_t Used() const { return m_Used; }
    char* End() { return m_Buffer + m_Used; }
    size_t Room() const { return m_Capacity > m_Used ? m_Capacity - m_Used : 0; }
    // Takes note of text that a callee wrote at End() (at most Room() - 1 characters).
    void Advance() {
        m_Used += m_Capacity > m_Used ? strnlen(m_Buffer + m_Used, m_Capacity - m_Used - 1) : 0;
    }

private:
    char* m_Buffer;
    size_t m_Capacity;
    size_t m_Used = 0;
};
