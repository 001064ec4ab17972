' written by hand
version 1.00

begin form Form1
# a comment
Begin A.B One
		colour  =&H80000005&   
flag=true
day = #2000-8-1 9:05#
link = Control two
beginproperty Font(2)
size = 12
endproperty
end
   Begin A.B Two
   End
end
