VERSION 1.00
Begin Form F
   Begin A.B C
      Count = 32768
      Colour = 2147483648&
      Ratio = 1e999
      When = #2001-02-29#
   End
End
