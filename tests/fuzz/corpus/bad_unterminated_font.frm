VERSION 1.00
Begin Form F
   Begin A.B C
      BeginProperty Font
         Size = 9
   End
End
