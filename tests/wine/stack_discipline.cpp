// The host calls every export with the Windows API convention and expects
// the export to remove its own arguments from the stack. A call through a C
// function pointer cannot show who cleaned up (the compiler restores the
// stack pointer either way), so the calls here go through a few lines of
// assembly that push the arguments, note ESP just before the call and just
// after the return, and then restore the stack themselves.
#include "wine_test_support.h"

#if !defined(__i386__)
#error "these tests call 32-bit x86 exports"
#endif

extern "C" uint32_t porvaneMeasuredCall(const void* function, const uint32_t* arguments, uint32_t count,
                                         uint32_t* espBeforeCall, uint32_t* espAfterReturn);

// cdecl: porvaneMeasuredCall(function, arguments, count, espBeforeCall, espAfterReturn).
// The arguments are pushed last to first, as both conventions do. EBX and
// EDI hold the two result pointers across the call: the callee must keep
// them, and a callee that does not brings the test down rather than letting
// it pass.
asm(R"(
    .text
    .p2align 4
    .globl _porvaneMeasuredCall
    .def _porvaneMeasuredCall; .scl 2; .type 32; .endef
_porvaneMeasuredCall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
1:
    testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:
    movl 20(%ebp), %edi
    movl 24(%ebp), %ebx
    movl 8(%ebp), %eax
    movl %esp, (%edi)
    call *%eax
    movl %esp, (%ebx)
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace {

struct Measured {
    LONG result;
    uint32_t released;  // bytes the callee took off the stack
};

Measured callMeasured(const void* function, std::vector<uint32_t> arguments)
{
    uint32_t before = 0, after = 0;
    LONG result = (LONG)porvaneMeasuredCall(function, arguments.data(), (uint32_t)arguments.size(), &before, &after);
    return {result, after - before};
}

uint32_t word(const void* pointer)
{
    return (uint32_t)(uintptr_t)pointer;
}

struct Local {
    static LONG WINAPI callee(LONG a, LONG b, LONG c) { return a + b + c; }
    static LONG __cdecl caller(LONG a, LONG b, LONG c) { return a * b * c; }
};

TEST(StackDiscipline, EachExportRemovesItsOwnArguments)
{
    ASSERT_PORVANE_READY();
    char buffer[260];
    ScratchFolder scratch;
    std::string path = scratch.path("stack.cel");
    std::vector<char> pathBuffer(path.begin(), path.end());
    pathBuffer.resize(path.size() + 5, '\0');
    PixelPicture picture(patternPixels(8, 3, 2, 1), false);
    resetProgress(0);  // stopped at the first report: nothing is read or written

    struct Case {
        const char* name;
        const void* function;
        std::vector<uint32_t> arguments;
        LONG result;
        uint32_t released;
    };
    const Case cases[] = {
        // The measurement itself, on functions of known convention.
        {"a stdcall function", (const void*)&Local::callee, {2, 3, 4}, 9, 12},
        {"a cdecl function", (const void*)&Local::caller, {2, 3, 4}, 24, 0},
        {"GetPluginInfo", (const void*)porvane().GetPluginInfo, {9, word(buffer), sizeof buffer}, 0, 12},
        {"IsSupported", (const void*)porvane().IsSupported, {4}, 1, 4},
        {"ConfigurationDlg", (const void*)porvane().ConfigurationDlg, {0, 7}, -101, 8},
        {"CreatePicture", (const void*)porvane().CreatePicture,
         {word(pathBuffer.data()), 0, word(&picture.header), word(&picture.bits), word(picture.info),
          word((const void*)&recordProgress), 123},
         101, 28},
    };
    for (const Case& c : cases) {
        Measured measured = callMeasured(c.function, c.arguments);
        EXPECT_EQ(measured.result, c.result) << c.name;
        EXPECT_EQ(measured.released, c.released) << c.name;
    }
    EXPECT_EQ(progressCalls, (Calls{{0, 1, 123}}));
    EXPECT_EQ(scratch.names(), Names{});
}

}  // namespace
