VERSION 1.00
Begin Form F
   Begin A.B C
      mySSTree = Control Tree9
   End
End
