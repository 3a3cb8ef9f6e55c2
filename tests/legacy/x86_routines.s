# Machine-code routines for the emulated processor's tests, one every 256
# bytes. The tests load the assembled bytes at segment 2000 and call each
# routine at its offset; the comments say what each one leaves where.
# Where an instruction carries several prefixes they are written out by
# hand: the processor accepts them only in the order 66, segment, 67,
# while the assembler writes segment, 67, 66.
	.code16
	.text

# 0000: every 16-bit addressing form, 8-, 16- and 32-bit operands, both
# directions of MOV, offsets that wrap, and the direct-offset forms.
# DS = 0050 and SS = FFFF as CALL ABSOLUTE sets them.
	.org 0x000
	movw $0x0100, %bx
	movw $0x0010, %si
	movw $0x0020, %di
	movw $0x0200, %bp
	movw $0xA001, (%bx,%si)          # DS:0110
	movw $0xA002, (%bx,%di)          # DS:0120
	movw $0xA003, (%bp,%si)          # SS:0210
	movw $0xA004, (%bp,%di)          # SS:0220
	movw $0xA005, (%si)              # DS:0010
	movw $0xA006, (%di)              # DS:0020
	movw $0xA007, 0x0330             # DS:0330
	movw $0xA008, (%bx)              # DS:0100
	movw $0xA009, 4(%bp)             # SS:0204
	movw $0xA00A, -2(%bx,%si)        # DS:010E
	movw $0xA00B, 0x1000(%bx)        # DS:1100
	movw $0xA00C, 0x1000(%bp)        # SS:1200
	movl $0x11223344, 0x40(%bx,%si)  # DS:0150
	movb $0x55, 0x60(%bx,%di)        # DS:0180
	movw 0x1000(%bx), %ax            # AX = A00B
	movb 0x40(%bx,%si), %cl          # CL = 44
	movb $0x9A, %ch                  # CH = 9A
	movl 0x40(%bx,%si), %edx         # EDX = 11223344
	movb %ch, 0x61(%bx,%di)          # DS:0181 = 9A
	movw %ax, 0x62(%bx,%di)          # DS:0182 = A00B
	movl %edx, 0x64(%bx,%di)         # DS:0184 = 11223344
	movb %cl, %dh                    # EDX = 11224444
	movw $0xFFFF, %bx
	movw $0x0002, %si
	movb $0x77, (%bx,%si)            # DS:0001: FFFF + 2 wraps
	movw $0x0000, %di
	movb $0x66, -1(%di)              # DS:FFFF
	mov %al, 0x0340                  # DS:0340 = 0B
	mov %ax, 0x0342                  # DS:0342 = A00B
	mov %edx, 0x0344                 # DS:0344 = 11224444
	mov 0x0150, %eax                 # EAX = 11223344
	movl %eax, %edi                  # EDI = 11223344
	mov 0x0110, %ax                  # EAX = 1122A001
	mov 0x0111, %al                  # EAX = 1122A0A0
	lret

# 0100: 32-bit addressing after 67, with and without SIB.
	.org 0x100
	movl $0x10, %eax
	movl $0x100, %ebx
	movl $0x500, %ebp
	movl $0x10020, %esi
	movw $0xB001, (%ebx,%eax,4)      # DS:0140
	movw $0xB002, 8(%ebx,%eax,2)     # DS:0128
	movw $0xB003, (%eax)             # DS:0010
	movw $0xB004, 0x300(,%eax,8)     # DS:0380, no base
	movw $0xB005, 4(%ebp)            # SS:0504
	movw $0xB006, (%esi)             # DS:0020: 10020 wraps
	movw $0xB007, 0x1000(%ebx)       # DS:1100
	movw $0xB008, (%ebp,%eax)        # SS:0510
	movw $0xB009, 0x20(%esp)         # SS:001C: ESP = FFFC, plus 20 wraps
	addr32 movw $0xB00A, 0x600       # DS:0600
	.byte 0x66, 0x67, 0x89, 0x1C, 0x85, 0x00, 0x07, 0x00, 0x00  # mov %ebx, 0x700(,%eax,4): DS:0740 = 00000100
	.byte 0x67, 0xA3, 0x44, 0x07, 0x01, 0x00   # mov %ax, 0x10744: DS:0744 = 0010
	.byte 0x66, 0x67, 0xA1, 0x40, 0x01, 0x00, 0x00  # mov 0x140, %eax: EAX = 0000B001
	lret

# 0200: segment overrides, MOV to and from segment registers, POP into a
# segment register, and MOV CS.
	.org 0x200
	movw $0x3000, %ax
	movw %ax, %es
	movw $0x3100, %ax
	movw %ax, %fs
	movw $0x3200, %ax
	movw %ax, %gs
	movw $0x0010, %bx
	movw $0x0020, %bp
	movw $0xC001, %es:(%bx)          # 3000:0010
	movw $0xC002, %fs:(%bx)          # 3100:0010
	movw $0xC003, %gs:(%bx)          # 3200:0010
	movw $0xC004, %ds:(%bp)          # 0050:0020, not SS
	movw $0xC005, %ss:(%bx)          # FFFF:0010
	movw $0xC006, (%bp)              # FFFF:0020
	movw %cs:0x2F0, %cx              # CX = C0DE, from the code segment
	.byte 0x66, 0x26, 0xC7, 0x47, 0x04, 0x78, 0x56, 0x34, 0x12  # movl $0x12345678, %es:4(%bx): 3000:0014
	.byte 0x66, 0x26, 0x67, 0x89, 0x43, 0x08  # mov %eax, %es:8(%ebx): 3000:0018 = 00003200
	movw $0x3300, 0x30(%bx)          # DS:0040
	movw 0x30(%bx), %ds              # DS = 3300 at once
	movw $0xC007, (%bx)              # 3300:0010
	pushw $0x3400
	popw %ds                         # DS = 3400, also at once
	movw $0xC008, (%bx)              # 3400:0010
	movw %ds, %dx                    # DX = 3400
	movw %es, 2(%bx)                 # 3400:0012 = 3000
	movw $0x3500, %ax
	movw %ax, %ss
	pushw $0xC009                    # 3500:FFFA
	movw $0x3600, %ax
	.byte 0x8E, 0xC8                 # mov %ax, %cs: the register only
	pushw %cs                        # 3500:FFF8 = 3600
	movw $0x1234, %si                # still running here: SI = 1234
	lret
	.org 0x2F0
	.word 0xC0DE

# 0300: every PUSH and POP form in 16 and 32 bits. The stack ends where it
# started.
	.org 0x300
	movw $0x1234, %ax
	pushw %ax
	popw %cx                         # CX = 1234
	pushl $0x89ABCDEF
	popl %edx                        # EDX = 89ABCDEF
	pushw $-2
	popw %si                         # SI = FFFE
	pushl $-3
	popl %edi                        # EDI = FFFFFFFD
	movw $0x0100, %bx
	movw $0xD001, (%bx)              # DS:0100
	pushw (%bx)
	popw 2(%bx)                      # DS:0102 = D001
	movw $0xD002, (%bx)
	.byte 0xFF, 0x07                 # FF with reg field 0: still PUSH [BX]
	popw 4(%bx)                      # DS:0104 = D002
	movl $0xFEEDBEEF, 8(%bx)
	pushl 8(%bx)
	popl 12(%bx)                     # DS:010C = FEEDBEEF
	pushw $0x7777
	movw $0x0200, %bp
	popw (%bp)                       # SS:0200 = 7777
	movw $0x3700, %bp
	movw %bp, %es
	push %es
	pop %fs                          # FS = 3700
	push %fs
	pop %gs                          # GS = 3700
	push %gs
	pop %ds                          # DS = 3700
	push %cs
	pop %es                          # ES = 2000
	push %ss
	popw %bp                         # BP = FFFF
	pushl %ds
	popl %eax                        # EAX = 00003700
	pushw %sp
	popw %dx                         # EDX = 89ABFFFC: SP before the push
	lret

# 0400: two arguments, the mouse driver from machine code, RETF 4. The
# first argument receives AX and the second BX.
	.org 0x400
	pushw %bp
	movw %sp, %bp
	movw $0, %ax
	int $0x33                        # reset: AX = FFFF, BX = 2
	movw 8(%bp), %si
	movw %ax, (%si)
	movw 6(%bp), %di
	movw %bx, (%di)
	popw %bp
	lret $4

# 0500 onwards: routines that end without RETF.
	.org 0x500
	hlt                              # unknown F4
	.org 0x510
	.byte 0x0F, 0x05                 # unknown 05, the byte after 0F
	.org 0x520
	.byte 0x66, 0x66, 0xB8, 0x00, 0x00  # 66 twice: unknown 66
	.org 0x530
	.byte 0x3E, 0x66, 0x8B, 0x07     # 66 after an override: unknown 66
	.org 0x540
	.byte 0x67, 0x26, 0x8B, 0x07     # an override after 67: unknown 26
	.org 0x550
	.byte 0x26, 0x3E, 0x8B, 0x07     # two overrides: unknown 3E
	.org 0x560
	movl %eax, %es:(%bx)             # the assembler's order 26 66: unknown 66
	.org 0x570
	.byte 0x8C, 0xF0                 # no segment register 6: unknown 8C
	.org 0x580
	.byte 0x8E, 0xF8                 # nor 7: unknown 8E
	.org 0x590
	movb $5, %al
	.byte 0x00                       # runs into a zero byte
	.org 0x5A0
	pushw %ax
	pushw %ax
	pushw %ax
	pushw %ax
	pushw %ax
	lret
