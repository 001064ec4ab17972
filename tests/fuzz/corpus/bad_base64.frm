VERSION 1.00
Begin Form F
   Begin A.B C
      Picture = Picture "R0lGODlh*AAIAIAAAMDAwAAAACH5BA=="
   End
End
