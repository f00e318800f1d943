// ChipDefBase: construction, the text pools, the diagnostics, products, categories and the
// product filter.
#include "chipdef/ChipDefBase.h"

#include "common/Assert.h"
#include "common/StrPool.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kNoProductText = "<A Product Was Not Selected>";

// Copies text into dst of size bytes, cut to fit; nullptr copies an empty text.
void CopyBounded(char* dst, const char* text, uint32_t size) {
    if (!dst || size == 0) {
        return;
    }
    std::snprintf(dst, size, "%s", text ? text : "");
}

// Appends text to the pool text dst (kTextSize bytes), cut at the end of the buffer.
void AppendBounded(char* dst, const char* text) {
    const size_t used = std::strlen(dst);
    if (text && used + 1 < ChipDefBase::kTextSize) {
        std::snprintf(dst + used, ChipDefBase::kTextSize - used, "%s", text);
    }
}

} // namespace

ChipDefBase::ChipDefBase() {
    HelperInit();
    m_TextPool = StrPoolCreate(32, static_cast<int32_t>(kTextSize));
    Q3V_ASSERT_TEXT(m_TextPool != nullptr, "m_TextPool != NULL");
    m_TextPool2 = StrPoolCreate(16, static_cast<int32_t>(kTextSize));
    Q3V_ASSERT_TEXT(m_TextPool2 != nullptr, "m_TextPool2 != NULL");
}

ChipDefBase::~ChipDefBase() {
    // The pools go back to the pool table, so that later objects find free slots.
    StrPoolFree(m_TextPool);
    StrPoolFree(m_TextPool2);
    std::free(m_ErrDiagnoseBuf);
}

char* ChipDefBase::NextText() {
    // A missing pool falls back on the default pool, grown to the full text size.
    return NextStrSized(m_TextPool, static_cast<int32_t>(kTextSize));
}

char* ChipDefBase::NextText2() {
    return NextStrSized(m_TextPool2, static_cast<int32_t>(kTextSize));
}

void ChipDefBase::EmptyCaches() {
    m_RegCacheRow = 0xFFFFFFFF;
    m_RegCacheIndex = 0xFFFFFFFF;
    m_FeatCacheIndex = 0xFFFFFFFF;
    m_KeyCursorN = 0;
    m_KeyCursorRow = 0xFFFFFFFF;
    std::snprintf(m_FeatCacheName, sizeof m_FeatCacheName, "%s", "invalid");
}

void ChipDefBase::AddDiagnostic(const char* format, ...) {
    if (!format || format[0] == '\0') {
        return;
    }
    if (!m_ErrDiagnoseBuf) {
        m_ErrDiagnoseBuf = static_cast<char*>(std::calloc(kTextSize, 1));
        if (!Q3V_ASSERT(m_ErrDiagnoseBuf != nullptr)) {
            return;
        }
    }
    char message[kTextSize];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    const size_t used = std::strlen(m_ErrDiagnoseBuf);
    // The message is kept only whole: a cut message would read as a different error.
    if (length < 0 || used + static_cast<size_t>(length) >= kTextSize) {
        return;
    }
    std::memcpy(m_ErrDiagnoseBuf + used, message, static_cast<size_t>(length) + 1);
}

uint32_t ChipDefBase::GetDiagnosticText(char* text, uint32_t size) {
    if (!Q3V_ASSERT_TEXT(text != nullptr, "Text!=NULL") || !m_ErrDiagnoseBuf) {
        return 0;
    }
    const size_t length = std::strlen(m_ErrDiagnoseBuf);
    Q3V_ASSERT_TEXT(size > length, "Size>(int)strlen(m_ErrDiagnoseBuf)");
    if (size == 0) {
        return 0;
    }
    const size_t copied = length < size ? length : size - 1;
    std::memcpy(text, m_ErrDiagnoseBuf, copied);
    text[copied] = '\0';
    return static_cast<uint32_t>(copied);
}

// ---- Sequences: only the derived class has sequence features ----

bool ChipDefBase::GetSequenceEntry(const char*, uint32_t, uint32_t*, uint32_t*, const char**) {
    Q3V_ASSERT(false);
    return false;
}
void ChipDefBase::ClearSequenceTexts(const char*) {
    Q3V_ASSERT(false);
}
bool ChipDefBase::SetSequenceEntry(const char*, uint32_t, uint32_t, uint32_t, const char*) {
    Q3V_ASSERT(false);
    return false;
}
uint32_t ChipDefBase::GetSequenceCapacity(const char*) {
    Q3V_ASSERT(false);
    return 0;
}
uint32_t ChipDefBase::GetSequenceLength(const char*) {
    Q3V_ASSERT(false);
    return 0;
}
bool ChipDefBase::TruncateSequence(const char*, uint32_t) {
    Q3V_ASSERT(false);
    return false;
}

// ---- Products and the product filter ----

bool ChipDefBase::IsInSelectedProduct(const char* list) const {
    if (m_SelectedProduct >= m_Products.size() || !list || std::strcmp(list, "all") == 0) {
        return true;
    }
    const ChipProduct& selected = m_Products[m_SelectedProduct];
    if (selected.KeyName && std::strstr(list, selected.KeyName)) {
        return true;
    }
    if (selected.VariantOf && std::strstr(list, selected.VariantOf)) {
        return true;
    }
    if (!selected.KeyName) {
        return false;
    }
    for (const ChipProduct& product : m_Products) {
        if (product.KeyName && product.VariantOf && std::strstr(list, product.KeyName) &&
            std::strcmp(product.VariantOf, selected.KeyName) == 0) {
            return true;
        }
    }
    return false;
}

bool ChipDefBase::FindProduct(const char* key, uint32_t* row) const {
    if (!key) {
        return false;
    }
    for (uint32_t i = 0; i < m_Products.size(); ++i) {
        if (m_Products[i].KeyName && std::strcmp(m_Products[i].KeyName, key) == 0) {
            if (row) {
                *row = i;
            }
            return true;
        }
    }
    return false;
}

bool ChipDefBase::SelectProduct(const char* key) {
    // Cached look-ups were made under the old selection.
    EmptyCaches();
    if (key && std::strcmp(key, "all") == 0) {
        m_SelectedProduct = 0xFFFFFFFF;
        return true;
    }
    uint32_t row = 0;
    if (!FindProduct(key, &row)) {
        return false;
    }
    m_SelectedProduct = row;
    return true;
}

const char* ChipDefBase::GetSelectedProductKey() const {
    if (m_SelectedProduct >= m_Products.size() || !m_Products[m_SelectedProduct].KeyName) {
        return "all";
    }
    return m_Products[m_SelectedProduct].KeyName;
}

bool ChipDefBase::GetProductKey(uint32_t i, char* key, uint32_t size) const {
    if (i >= m_Products.size()) {
        return false;
    }
    CopyBounded(key, m_Products[i].KeyName, size);
    return true;
}

const char* ChipDefBase::GetProductText(const char* key, uint32_t flags) {
    char* text = NextText();
    if (!text) {
        return "";
    }
    uint32_t row = m_SelectedProduct;
    if (key == nullptr) {
        if (m_SelectedProduct >= m_Products.size()) {
            AppendBounded(text, kNoProductText);
            return text;
        }
    } else if (!FindProduct(key, &row)) {
        Q3V_ASSERT(false);
        return text;
    }
    const ChipProduct& product = m_Products[row];
    if ((flags & 0x80) && product.Prefix) {
        AppendBounded(text, product.Prefix);
    }
    if (flags & 0x01) {
        AppendBounded(text, product.Name);
    }
    if ((flags & 0x100) && product.Suffix) {
        AppendBounded(text, product.Suffix);
    }
    if (flags & 0x40) {
        AppendBounded(text, " ");
        AppendBounded(text, product.Desc);
    }
    return text;
}

const char* ChipDefBase::GetProductSpec(const char* key) {
    uint32_t row = m_SelectedProduct;
    if (key == nullptr) {
        if (m_SelectedProduct >= m_Products.size()) {
            return kNoProductText;
        }
    } else if (!FindProduct(key, &row)) {
        Q3V_ASSERT(false);
        return "";
    }
    return m_Products[row].Spec ? m_Products[row].Spec : "";
}

// ---- Categories ----

bool ChipDefBase::FindCategory(const char* key, uint32_t* row) const {
    if (!key) {
        return false;
    }
    for (uint32_t i = 0; i < m_Categories.size(); ++i) {
        if (m_Categories[i].KeyName && std::strcmp(m_Categories[i].KeyName, key) == 0) {
            if (row) {
                *row = i;
            }
            return true;
        }
    }
    return false;
}

bool ChipDefBase::GetCategory(uint32_t i, char* key, char* name, uint32_t size) const {
    if (i >= m_Categories.size()) {
        return false;
    }
    CopyBounded(key, m_Categories[i].KeyName, size);
    CopyBounded(name, m_Categories[i].Name, size);
    return true;
}

bool ChipDefBase::IsCategoryInProduct(const char* key) const {
    uint32_t row = 0;
    return FindCategory(key, &row) && IsInSelectedProduct(m_Categories[row].Product);
}

bool ChipDefBase::IsCategoryReserved(const char* key) const {
    uint32_t row = 0;
    if (!FindCategory(key, &row)) {
        Q3V_ASSERT(false);
        return false;
    }
    return m_Categories[row].Reserved && IsInSelectedProduct(m_Categories[row].Reserved);
}
