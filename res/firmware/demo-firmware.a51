; Demo firmware for the simulated board, written for this project: the chip starts, turns its
; interrupts off and sleeps in idle mode. The last three code bytes carry the firmware identity
; that the board's start-up copies into the settings block (major, minor, board type 1 Orvanta).
; orvanta-2.20.hex and orvanta-2.05.hex are this program, assembled by hand; only the identity
; differs. Make the .ofw files with:  orvanta-ofw pack orvanta-2.20.hex orvanta-2.20.ofw

        ORG   0000h
        LJMP  main              ; 02 00 30   past the interrupt vectors

        ORG   0030h
main:   MOV   SP, #2Fh          ; 75 81 2F   stack above the bit-addressable area
        MOV   IE, #00h          ; 75 A8 00   no interrupts
idle:   ORL   PCON, #01h        ; 43 87 01   idle mode: the core stops until a reset
        SJMP  idle              ; 80 FB

        ORG   1FFDh
        DB    2, 20, 1          ; firmware 2.20 for an Orvanta (2, 5, 1 in orvanta-2.05.hex)
