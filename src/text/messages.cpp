// The interpreter's message texts and their one-time conversion to GBK.
#include "text/messages.h"

#include "text/encoding.h"

#include <array>
#include <string>

namespace {

constexpr std::array<const char*, static_cast<size_t>(Msg::Count)> kUtf8 = {
    "正在编译……\r\n", "正在搜索……\r\n",   " 行: ",
    "集合已经定义",   "集合没有定义",     "集合至少需要两个不同的值",
    "变量已经定义",   "变量没有定义",     "语法错误",
    "下标越界",       "可能导致下标越界", "永假的表达式",
    "错误的输出要求", "数值超出范围",     "请输入文件名",
    "不能打开文件",
};

struct Table {
    std::array<std::string, static_cast<size_t>(Msg::Count)> gbk;
    Table() {
        Converter toGbk(Encoding::Utf8, Encoding::Gbk);
        for (size_t i = 0; i < kUtf8.size(); ++i) toGbk.Convert(kUtf8[i], gbk[i]);
    }
};

}  // namespace

const char* Text(Msg id) {
    static const Table table;
    if (CurrentEncoding() == Encoding::Utf8) return kUtf8[static_cast<size_t>(id)];
    return table.gbk[static_cast<size_t>(id)].c_str();
}
