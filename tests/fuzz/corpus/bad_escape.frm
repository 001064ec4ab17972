VERSION 1.00
Begin Form F
   Begin A.B C
      Caption = "a\qb"
   End
End
