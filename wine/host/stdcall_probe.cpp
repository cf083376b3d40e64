// Stack-checking call of a WINAPI function (see stdcall_probe.h), in i386 assembly because the
// check is about what the machine stack looks like, which C++ cannot express.
#include "stdcall_probe.h"

extern "C" {
// Filled by the assembly routine below.
uint32_t g_probeEspBefore, g_probeEspAfter, g_probeRegsAfter[4];
uint32_t ProbeCall(const void* fn, unsigned argc, const uint32_t* args);
}

// uint32_t ProbeCall(fn, argc, args): cdecl.
// Puts marker values into EBX/ESI/EDI, pushes argc arguments (last first), calls fn, records
// ESP and the saved registers, then restores its own frame from EBP (kept in a static as well,
// in case the callee broke EBP).
asm(R"(
    .text
    .globl _ProbeCall
_ProbeCall:
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  %ebp, probe_saved_ebp
    movl  %esp, _g_probeEspBefore
    movl  12(%ebp), %ecx
    movl  16(%ebp), %edx
    testl %ecx, %ecx
    jz    2f
1:  pushl -4(%edx,%ecx,4)
    decl  %ecx
    jnz   1b
2:  movl  8(%ebp), %eax
    movl  $0x5EB50001, %ebx
    movl  $0x5E510002, %esi
    movl  $0x5ED10003, %edi
    call  *%eax
    movl  %esp, _g_probeEspAfter
    movl  %ebx, _g_probeRegsAfter
    movl  %esi, _g_probeRegsAfter+4
    movl  %edi, _g_probeRegsAfter+8
    movl  %ebp, _g_probeRegsAfter+12
    movl  probe_saved_ebp, %ebp
    leal  -12(%ebp), %esp
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret
    .data
probe_saved_ebp:
    .long 0
    .text
)");

ProbeResult CallProbed(const void* fn, unsigned argc, const uint32_t* args) {
  ProbeResult r;
  r.ret = ProbeCall(fn, argc, args);
  r.espDelta = static_cast<int32_t>(g_probeEspAfter - g_probeEspBefore);
  uint32_t savedEbp = 0;
  asm volatile("movl probe_saved_ebp, %0" : "=r"(savedEbp));
  r.savedRegsKept = g_probeRegsAfter[0] == 0x5EB50001 && g_probeRegsAfter[1] == 0x5E510002 &&
                    g_probeRegsAfter[2] == 0x5ED10003 && g_probeRegsAfter[3] == savedEbp;
  return r;
}
