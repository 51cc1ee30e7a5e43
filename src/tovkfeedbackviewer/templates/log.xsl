<?xml version="1.0" encoding="UTF-16"?>
<!-- Access-log views: total per work and the list of accesses. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:import href="tovk_common.xsl"/>
	<xsl:output method="html" encoding="UTF-16" doctype-public="-//W3C//DTD HTML 4.01 Transitional//EN"/>

	<xsl:key name="infoLangs" match="/table/table_data/info" use="@lang"/>
	<xsl:key name="accesses" match="/table/table_data" use="concat(sakuhinno, '/', guideno)"/>
	<xsl:variable name="resultLang">
		<xsl:choose>
			<xsl:when test="/table/table_data/info[@lang = /table/@language]"><xsl:value-of select="/table/@language"/></xsl:when>
			<xsl:otherwise><xsl:value-of select="/table/table_data/info[1]/@lang"/></xsl:otherwise>
		</xsl:choose>
	</xsl:variable>

	<xsl:template match="/">
		<html>
			<head>
				<meta http-equiv="Content-Type" content="text/html; charset=UTF-16"/>
				<link rel="stylesheet" type="text/css" href="style.css"/>
			</head>
			<body><xsl:apply-templates select="table"/></body>
		</html>
	</xsl:template>

	<xsl:template name="lang-buttons">
		<xsl:call-template name="language-buttons">
			<xsl:with-param name="langs" select="/table/table_data/info[generate-id() = generate-id(key('infoLangs', @lang)[1])]/@lang"/>
			<xsl:with-param name="current" select="$resultLang"/>
			<xsl:with-param name="label" select="'logChangeLang'"/>
		</xsl:call-template>
	</xsl:template>

	<xsl:template name="info-cell">
		<xsl:param name="node"/>
		<xsl:variable name="info" select="$node/info[@lang = $resultLang]"/>
		<xsl:choose>
			<xsl:when test="string($info) != ''">
				<td class="log_info"><xsl:call-template name="br-replace"><xsl:with-param name="text" select="$info"/></xsl:call-template></td>
			</xsl:when>
			<xsl:otherwise><td class="log_info gray">-</td></xsl:otherwise>
		</xsl:choose>
	</xsl:template>

	<xsl:template match="table">
		<xsl:call-template name="TopLink"/>
		<xsl:choose>
			<xsl:when test="$total = 0">
				<xsl:call-template name="print-exp"><xsl:with-param name="text">No data.</xsl:with-param></xsl:call-template>
			</xsl:when>
			<xsl:when test="$inRange"><xsl:call-template name="list-view"/></xsl:when>
			<xsl:otherwise><xsl:call-template name="total-view"/></xsl:otherwise>
		</xsl:choose>
	</xsl:template>

	<xsl:template name="total-view">
		<xsl:call-template name="print-title"><xsl:with-param name="label" select="'logTitleTotal'"/></xsl:call-template>
		<xsl:call-template name="list-buttons"><xsl:with-param name="inTotal" select="true()"/></xsl:call-template>
		<xsl:call-template name="lang-buttons"/>
		<table border="1" class="logTotal">
			<tr>
				<th class="log_no"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'sakuhinno'"/></xsl:call-template></th>
				<th class="log_no"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'guideno'"/></xsl:call-template></th>
				<th class="log_info"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'info'"/></xsl:call-template></th>
				<th class="total"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'access'"/></xsl:call-template></th>
			</tr>
			<xsl:for-each select="/table/no_list">
				<tr>
					<td class="log_no"><xsl:value-of select="sakuhinno"/></td>
					<td class="log_no"><xsl:value-of select="guideno"/></td>
					<xsl:call-template name="info-cell"><xsl:with-param name="node" select="."/></xsl:call-template>
					<td class="total"><xsl:value-of select="count(key('accesses', concat(sakuhinno, '/', guideno)))"/></td>
				</tr>
			</xsl:for-each>
		</table>
	</xsl:template>

	<xsl:template name="list-view">
		<xsl:variable name="last">
			<xsl:choose>
				<xsl:when test="$listEnd &gt; 0 and $listEnd &lt; $total"><xsl:value-of select="$listEnd"/></xsl:when>
				<xsl:otherwise><xsl:value-of select="$total"/></xsl:otherwise>
			</xsl:choose>
		</xsl:variable>
		<xsl:call-template name="print-title"><xsl:with-param name="label" select="'logTitleList'"/></xsl:call-template>
		<xsl:call-template name="list-buttons"/>
		<xsl:call-template name="lang-buttons"/>
		<table border="1" class="logList">
			<tr>
				<th class="no"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'no'"/></xsl:call-template></th>
				<th class="sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'date'"/></xsl:call-template></th>
				<th class="sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'time'"/></xsl:call-template></th>
				<th class="sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'lang'"/></xsl:call-template></th>
				<th class="log_no"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'sakuhinno'"/></xsl:call-template></th>
				<th class="log_no"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'guideno'"/></xsl:call-template></th>
				<th class="log_info"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'info'"/></xsl:call-template></th>
			</tr>
			<xsl:for-each select="/table/table_data[position() &gt;= $listStart and position() &lt;= $last]">
				<tr>
					<td class="no"><xsl:value-of select="@no"/></td>
					<td class="sys"><xsl:value-of select="date"/></td>
					<td class="sys"><xsl:value-of select="time"/></td>
					<td class="sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="string(lang)"/></xsl:call-template></td>
					<td class="log_no"><xsl:value-of select="sakuhinno"/></td>
					<td class="log_no"><xsl:value-of select="guideno"/></td>
					<xsl:call-template name="info-cell"><xsl:with-param name="node" select="."/></xsl:call-template>
				</tr>
			</xsl:for-each>
		</table>
	</xsl:template>
</xsl:stylesheet>
